// The matcher: one compiled pattern, searched for in byte texts with the
// leftmost start winning and the longest match at that start.
#ifndef PARLEVO_REGEX_REXP_H_
#define PARLEVO_REGEX_REXP_H_

// CONTRACT (filled in by the pattern engine): this header provides
//   class EbmREToken : public std::runtime_error   (what() = the token kind's name string)
//   class TbmRExp {
//    public:
//     TbmRExp();                                   // module default character code
//     void SetPattern(std::string_view pattern);   // unchanged text keeps the automaton
//     const std::string& Pattern() const;
//     // 1-based byte position of the match, 0 if none; throws EbmREToken for a bad pattern.
//     int32_t Match(std::string_view text, int32_t from_pos, int32_t& match_pos, int32_t& match_len);
//     // Same question as Match(text, 1, ...) != 0, answered as fast as possible.
//     bool Found(std::string_view text);
//   };

#endif  // PARLEVO_REGEX_REXP_H_
