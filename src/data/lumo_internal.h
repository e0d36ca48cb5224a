// Pieces shared by the four kinds of knowledge data: the treatment of pattern
// and condition fields, matcher creation, and the growth of entry tables.
#ifndef PARLEVO_DATA_LUMO_INTERNAL_H_
#define PARLEVO_DATA_LUMO_INTERNAL_H_

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data/lumo_data.h"

namespace parlevo::lumo {

// NormalizeText, then ExpandDigitWildcard: how a condition or pattern field
// is stored.
std::string TreatField(std::string_view field);

// The matchers of an object, made as it loads, by folded pattern text:
// entries that repeat a pattern (personalities often give one pattern
// several answers) share one matcher, parsed and searched once. The cache
// owns them for the object's life, side by side in blocks rather than one
// allocation each (a personality has a matcher for nearly every entry), and
// so are their texts, which the matchers read in place; its lookup table
// serves loading only.
class TMatcherCache {
 public:
  // The number of the matcher of `pattern`, made when first asked for (and
  // since the last Clear); `error` receives the engine's message when the
  // pattern was refused already as it was set. An entry holds the number,
  // half a pointer: At gives the matcher.
  uint32_t Get(const std::string& pattern, std::string& error);
  TbmRExp& At(size_t m);
  // Checks matcher `m` at load (Check below) the first time it is asked;
  // entries that share it later get the same answer without a parse (a set
  // may have given back what the first one built).
  bool Check(uint32_t m, bool whole, std::string& error);
  // Room for `count` patterns, so that the table is not rebuilt as it grows.
  void Reserve(size_t count);
  // Forgets the lookup table (the matchers stay): loading has ended.
  void Clear();
  // The budget the matchers made from now on search under (null: none);
  // each new one raises it by its share (kMatchBudgetBytesPerPattern).
  void SetBudget(std::shared_ptr<TbmREMatchBudget> budget) { budget_ = std::move(budget); }

 private:
  // Open addressing over the matchers made since the last Clear, keyed by
  // their own pattern texts: no key is copied, no node allocated. A slot
  // holds the index in owned_ + 1 (0: empty) in its low half and the
  // hash's high half above, so that a probe reads a matcher's text only for
  // a likely match.
  void Rehash(size_t slots);

  // Matchers in blocks of a fixed count, never moved; made_ of them used.
  static constexpr size_t kBlockMatchers = 256;
  static constexpr size_t kMaxMatchers = size_t{1} << 31;  // a number fits 31 bits
  std::vector<std::unique_ptr<TbmRExp[]>> blocks_;
  size_t made_ = 0;
  size_t first_made_ = 0;  // matchers first_made_ .. made_ - 1 are in the table
  TAnswerStore texts_;     // the matchers' pattern texts
  std::vector<uint64_t> slots_;
  // The few refused, as set or when checked.
  std::unordered_map<const TbmRExp*, std::string> errors_;
  std::vector<bool> checked_;  // per matcher made
  std::shared_ptr<TbmREMatchBudget> budget_;
};

// Compiles `matcher` by searching the empty text; false with the engine's
// message for a malformed pattern.
bool Compile(TbmRExp& matcher, std::string& error);
// Checks `matcher` at load: compiles it whole for a personality author
// (`whole`, so that check also reports patterns refused by the automaton
// budgets), otherwise parses it only and leaves the automaton to the first
// search that needs it. False with the engine's message for a malformed
// pattern.
bool Check(TbmRExp& matcher, bool whole, std::string& error);

// The note for a pattern that does not compile (UTF-8): `which` ("pattern",
// "input pattern", ...) as written and, when folding changed it, as folded.
inline constexpr std::string_view kPatternError = "pattern-error";
std::string CompileNote(std::string_view which, std::string_view written, const TbmRExp& matcher,
                        const std::string& error);

// Makes room for `count` entries, at least doubling the storage when it has
// to grow, so loading many small files stays linear.
template <typename Datum>
void GrowEntries(std::vector<Datum>& entries, size_t count) {
  if (count > entries.capacity()) entries.reserve(std::max(count, 2 * entries.capacity()));
}

}  // namespace parlevo::lumo

#endif  // PARLEVO_DATA_LUMO_INTERNAL_H_
