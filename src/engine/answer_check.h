// Checks an answer or a kind 0 condition as written, without running it:
// braces that do not pair, tags that no tag function knows, and conditions
// that can never give True or False. For personality authors (`check`).
#ifndef PARLEVO_ENGINE_ANSWER_CHECK_H_
#define PARLEVO_ENGINE_ANSWER_CHECK_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parlevo {

// One thing wrong with a text as written.
struct TTextProblem {
  std::string_view Code;  // a stable short name of the kind of problem
  std::string Message;    // ANSI
  // The characters of the text it is about, [Begin, End), 0-based; End 0:
  // the whole text.
  size_t Begin = 0, End = 0;
  // What would put it right, ANSI, where one is known, in place of those
  // characters: the tag as written with the nearest known name.
  std::optional<std::string> Fix;
};

// What is wrong with an answer (ANSI in), naming the tag as written. Tags
// whose name another tag produces are not judged.
std::vector<TTextProblem> CheckAnswer(std::string_view answer);

// The same for a kind 0 condition, which must also be able to expand to
// exactly "True" (the whole condition one tag that gives a truth value).
std::vector<TTextProblem> CheckCondition(std::string_view condition);

}  // namespace parlevo

#endif  // PARLEVO_ENGINE_ANSWER_CHECK_H_
