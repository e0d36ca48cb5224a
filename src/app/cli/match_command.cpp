// `parlevo-cli match [--from N] PATTERN TEXT`: one matcher with default
// settings searches TEXT from byte N and prints "POS LEN" in bytes of the
// code-page form ("0 0" when nothing matches). A malformed pattern prints the
// engine's message and exits 2.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>

#include "app/cli/command.h"
#include "platform/codepage.h"
#include "regex/rexp.h"

namespace parlevo::cli {
namespace {

struct MatchOptions {
  int32_t from = 1;
  std::string pattern;
  std::string text;
};

int RunMatch(const MatchOptions& options) {
  // The terminal speaks UTF-8; the engine works on code-page bytes.
  TbmRExp matcher;
  matcher.SetPattern(platform::Utf8ToAnsi(options.pattern));
  int32_t pos = 0, len = 0;
  try {
    matcher.Match(platform::Utf8ToAnsi(options.text), options.from, pos, len);
  } catch (const EbmREToken& e) {
    throw CommandError(kExitUsage, e.what());
  }
  std::printf("%d %d\n", static_cast<int>(pos), static_cast<int>(len));
  std::fflush(stdout);
  return kExitOk;
}

CommandRunner SetUpMatch(CLI::App& app) {
  auto options = std::make_shared<MatchOptions>();
  CLI::App* match =
      app.add_subcommand("match", "Find a pattern in a text: prints POS LEN in bytes");
  match->add_option("--from", options->from, "1-based byte position to search from")
      ->capture_default_str();
  match->add_option("pattern", options->pattern, "the pattern")->required();
  match->add_option("text", options->text, "the text to search")->required();
  return [options] { return RunMatch(*options); };
}

const CommandRegistrar kMatchCommand(10, SetUpMatch);

}  // namespace
}  // namespace parlevo::cli
