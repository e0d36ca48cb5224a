// The tag language's one table: a row per tag function with its name, the
// tests that select it, what it takes and gives, its summaries and the call.
#ifndef PARLEVO_ENGINE_TAG_TABLE_H_
#define PARLEVO_ENGINE_TAG_TABLE_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/tag_context.h"

namespace parlevo {

// How a row's name is compared with a tag's key.
enum class TTagNameMatch : uint8_t {
  kExact,   // the whole key is the name
  kPrefix,  // the key begins with the name; the arguments follow directly
};

// What a tag gives (for hover, and for telling a condition that can never be
// True or False).
enum class TTagResult : uint8_t {
  kText,     // any text: a slot, a name, a piece of a text
  kTruth,    // "True" or "False"
  kNumber,   // a number written as text
  kDate,     // a date, a time or a weekday name
  kNothing,  // always empty
};

// What running a tag may do beside giving its result (bits of TTagRow::Effects).
enum TTagEffect : uint8_t {
  kNoEffect = 0,
  kReadsClock = 1,    // the instant of the expansion
  kDraws = 2,         // a random draw, after re-seeding from the clock
  kWritesMemory = 4,  // memo, count or flag slots, in its setting forms
  kTouchesFiles = 8,  // reads and deletes a file of the data folder
  kReadsMemory = 16,  // memo, count or flag slots, in its reading forms
  kReadsTalk = 32,    // the partner, what was heard or answered, the turn count
};

// The values a tag's reading form can give, where fewer than its result kind
// allows: whole numbers in [Min, Max], or one of the names (UTF-8, "|"
// between them). For telling a comparison that can never come out otherwise.
struct TTagValues {
  int16_t Min = 0, Max = -1;  // Max < Min: no range
  std::string_view Names;     // "": any text of its kind
  constexpr bool Ranged() const { return Min <= Max; }
};

// One tag function. A key selects the first row of the table whose tests
// all hold (the name, the bar, the length), even when the function then
// finds nothing it understands.
struct TTagRow {
  std::string_view Name;  // folded (capitals, ASCII); "?" stands for any one character
  TTagNameMatch Match;
  bool NeedsBar;        // the key must hold a "|"
  uint8_t MinLength;    // the key must be at least this long (0: no test)
  TTagResult Result;    // what the reading form gives
  uint8_t Effects;      // TTagEffect bits
  bool NumberOperands;  // "a|b" right after the name, both read as numbers
  bool Listed;          // false for a row that only keeps an odd selection: no guide lists it
  std::string_view Arguments;  // what follows the name, e.g. "n|text"
  std::string_view SummaryEn;  // one line, UTF-8
  std::string_view SummaryJa;  // one line, UTF-8
  std::u16string (*Call)(TTagContext& tag);
  TTagValues Values;  // what it gives, where the kind says too little
};

// Every row, in the order the dispatch tries them.
std::span<const TTagRow> TagRows();

// The row the dispatch selects for a folded key, or nullptr when no row's
// tests hold (the tag then gives nothing).
const TTagRow* FindTagRow(std::u16string_view key);

}  // namespace parlevo

#endif  // PARLEVO_ENGINE_TAG_TABLE_H_
