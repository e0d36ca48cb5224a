// A file of patterns, one per line, searched as one set: which lines' patterns
// are found in a text. `parlevo-cli match --set` reads one.
#ifndef PARLEVO_DATA_PATTERN_LIST_H_
#define PARLEVO_DATA_PATTERN_LIST_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace parlevo {

class TbmRExp;
class TbmRExpSet;

// Thread safety: one thread at a time, as the set matcher.
class TPatternList {
 public:
  // A line whose pattern does not compile: it is never found.
  struct TProblem {
    int Line = 0;         // 1-based
    std::string Message;  // the engine's message, as it gives it
  };

  // Reads `path` (native, as given) as every personality file is read
  // (ReadPersonalityText: UTF-8 converted to the code page), a blank line
  // no pattern. Compiles every
  // distinct pattern whole, once. Throws platform::EFileError.
  explicit TPatternList(std::string_view path);
  ~TPatternList();
  TPatternList(const TPatternList&) = delete;
  TPatternList& operator=(const TPatternList&) = delete;

  // The lines that did not compile, in order.
  const std::vector<TProblem>& Problems() const { return problems_; }

  // How many lines hold a pattern that compiled.
  size_t Compiled() const { return lines_.size(); }

  // The 1-based line numbers of the patterns found in `text` (code page),
  // ascending.
  std::vector<int32_t> Find(std::string_view text);

 private:
  // A compiled matcher of `pattern` (read on `line`), or null with a problem.
  TbmRExp* Compile(std::string_view pattern, int line);

  std::vector<std::unique_ptr<TbmRExp>> matchers_;  // one per distinct pattern
  std::vector<int32_t> lines_;                      // per index of the set: its line
  std::unique_ptr<TbmRExpSet> set_;
  std::vector<TProblem> problems_;
};

}  // namespace parlevo

#endif  // PARLEVO_DATA_PATTERN_LIST_H_
