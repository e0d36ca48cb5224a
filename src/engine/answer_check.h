// Checks an answer or a kind 0 condition as written, without running it:
// braces that do not pair, tags that no tag function knows, and conditions
// that can never give True or False. For personality authors (`check`).
#ifndef PARLEVO_ENGINE_ANSWER_CHECK_H_
#define PARLEVO_ENGINE_ANSWER_CHECK_H_

#include <string>
#include <string_view>
#include <vector>

namespace parlevo {

// What is wrong with an answer (ANSI in), one message each (ANSI), naming
// the tag as written. Tags whose name another tag produces are not judged.
std::vector<std::string> CheckAnswer(std::string_view answer);

// The same for a kind 0 condition, which must also be able to expand to
// exactly "True" (the whole condition one tag that gives a truth value).
std::vector<std::string> CheckCondition(std::string_view condition);

}  // namespace parlevo

#endif  // PARLEVO_ENGINE_ANSWER_CHECK_H_
