// Helpers shared by the pattern engine tests.
#ifndef PARLEVO_TESTS_REGEX_TEST_UTIL_H_
#define PARLEVO_TESTS_REGEX_TEST_UTIL_H_

#include <string>
#include <string_view>

#include "platform/codepage.h"

namespace parlevo::testing {

// UTF-8 source text as Shift JIS bytes.
inline std::string Sjis(std::string_view utf8) {
  return platform::WideToAnsi(platform::Utf8ToWide(utf8), platform::kCodePage932);
}

}  // namespace parlevo::testing

#endif  // PARLEVO_TESTS_REGEX_TEST_UTIL_H_
