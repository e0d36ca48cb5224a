// Knowledge data: the four kinds of entry lists a character answers from
// (0: tag conditions, A: context + input patterns, B: input patterns, C: free
// talk), with tiers ("{PRIOR}"), the end marker ("{ENDOFDATA}"), once-only
// entries and a random choice among the candidates of the first tier that
// has any.
#ifndef PARLEVO_DATA_LUMO_DATA_H_
#define PARLEVO_DATA_LUMO_DATA_H_

// CONTRACT (filled in by the knowledge data work):
//   using TEvaluateFunc = std::function<std::u16string(std::u16string_view)>;
//   class TLumoData {                       // abstract
//    public:
//     TLumoData(bool use_once, TEvaluateFunc on_evaluate);
//     virtual ~TLumoData();
//     virtual void Prepare() = 0;
//     virtual void LoadFromFile(std::string_view file_name) = 0;   // ANSI path
//     virtual std::string Search(std::string_view input) = 0;      // ANSI, "" if none
//     int32_t Available() const;
//     bool UseOnce() const;
//     ...
//   };
//   class TLumoData0, TLumoDataA (with Context), TLumoDataB, TLumoDataC : public TLumoData;
//   class TAnswerList;

#endif  // PARLEVO_DATA_LUMO_DATA_H_
