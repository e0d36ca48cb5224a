// `parlevo-cli match [--from N] [--entry] PATTERN TEXT`: one matcher with
// default settings searches TEXT from byte N and prints "POS LEN" in bytes of
// the code-page form ("0 0" when nothing matches). With --entry the pattern is
// treated as a data file entry treats it and the text as a character hears
// it. A malformed pattern prints the engine's message and exits 2.
// `parlevo-cli match --set FILE TEXT`: the 1-based line numbers of the
// patterns of FILE (one per line, code-page text as written) found in TEXT,
// one per line, ascending; a pattern that does not compile is reported on
// standard error as FILE:LINE: MESSAGE and never matches; a file with no
// pattern that compiles exits 2.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/command.h"
#include "app/cli/shared_options.h"
#include "app/line_writer.h"
#include "data/pattern_list.h"
#include "data/text_helpers.h"
#include "platform/codepage.h"
#include "platform/textfile.h"
#include "regex/rexp.h"

namespace parlevo::cli {
namespace {

struct MatchOptions {
  int32_t from = 1;
  bool from_given = false;
  bool entry = false;
  std::string set_file;  // --set: the pattern file (UTF-8 path)
  std::string pattern;   // with --set: the text
  std::string text;
  bool text_given = false;
};

int RunMatchSet(const MatchOptions& options) {
  std::unique_ptr<TPatternList> list;
  try {
    list = std::make_unique<TPatternList>(options.set_file);  // the path as given
  } catch (const platform::EFileError& e) {
    throw CommandError(kExitFailure, e.what());  // UTF-8 already
  }
  for (const TPatternList::TProblem& problem : list->Problems()) {
    StandardError().Line(options.set_file + ":" + std::to_string(problem.Line) + ": " +
                         problem.Message);
  }
  if (list->Compiled() == 0) {
    throw CommandError(kExitUsage, options.set_file + ": no pattern that compiles");
  }
  for (const int32_t line : list->Find(platform::Utf8ToAnsi(options.pattern))) {
    StandardOutput().Line(std::to_string(line));
  }
  return kExitOk;
}

int RunMatch(const MatchOptions& options) {
  if (!options.set_file.empty()) {
    if (options.text_given || options.from_given) {
      throw CommandError(kExitUsage, "match --set takes one TEXT and no --from");
    }
    return RunMatchSet(options);
  }
  if (!options.text_given) throw CommandError(kExitUsage, "match needs PATTERN and TEXT");
  // The terminal speaks UTF-8; the engine works on code-page bytes.
  std::string pattern = platform::Utf8ToAnsi(options.pattern);
  std::string text = platform::Utf8ToAnsi(options.text);
  if (options.entry) {
    pattern = FoldEntryField(pattern);
    text = platform::WideToAnsi(NormalizeText(platform::AnsiToWide(text)));
  }
  TbmRExp matcher;
  int32_t pos = 0, len = 0;
  try {
    matcher.SetPattern(pattern);
    matcher.Match(text, options.from, pos, len);
  } catch (const EbmREToken& e) {
    std::string message = e.what();
    // Folding may have made an operator of a full-width sign: show it.
    if (options.entry) message += " (pattern as folded: " + platform::AnsiToUtf8(pattern) + ")";
    throw CommandError(kExitUsage, message);
  }
  StandardOutput().Line(std::to_string(pos) + " " + std::to_string(len));
  return kExitOk;
}

CommandRunner SetUpMatch(CLI::App& app) {
  auto options = std::make_shared<MatchOptions>();
  CLI::App* match = app.add_subcommand(
      "match",
      "Find a pattern in a text. Prints POS LEN: the 1-based byte position of the match and its "
      "length in bytes, both counted in the code page (Shift JIS by default), or 0 0");
  CLI::Option* from =
      match->add_option("--from", options->from, "1-based byte position to search from")
          ->capture_default_str();
  match->add_flag("--entry", options->entry,
                  "match as a data file entry does: the pattern folded (case, full width) with "
                  "\"#\" for a digit, the text folded as a character hears it");
  match->add_option("--set", options->set_file,
                    "a file of patterns, one per line: prints the line numbers of those found");
  match->add_option("pattern", options->pattern, "the pattern (with --set: the text)")->required();
  CLI::Option* text = match->add_option("text", options->text, "the text to search");
  AddExitStatuses(*match, {{kExitOk, "the search ran, found or not"},
                           {kExitFailure, "the --set file could not be read"},
                           {kExitUsage,
                            "a usage error, a pattern that does not compile, or a --set file with "
                            "no pattern that compiles"}});
  return [options, from, text] {
    options->from_given = from->count() > 0;
    options->text_given = text->count() > 0;
    return RunMatch(*options);
  };
}

const CommandRegistrar kMatchCommand(10, SetUpMatch);

}  // namespace
}  // namespace parlevo::cli
