// parlevo-cli expand: expands the tags of each TEXT with one character, so
// memory set by one text is there for the next, and prints each result.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/command.h"
#include "app/cli/load_character.h"
#include "app/cli/shared_options.h"
#include "app/line_writer.h"
#include "engine/character.h"
#include "platform/codepage.h"

namespace parlevo::cli {
namespace {

struct ExpandOptions {
  std::string base_file;  // empty: a character with no files
  bool no_save = false;
  std::vector<std::string> texts;
};

int RunExpand(const ExpandOptions& options) {
  // A loaded character reads its state file here and writes it when released.
  std::unique_ptr<TCharacter> character =
      options.base_file.empty() ? std::make_unique<TCharacter>()
                                : LoadCharacter(options.base_file, StateUse(options.no_save));
  for (const std::string& text : options.texts) {
    // Line breaks inside a result are left as they are.
    StandardOutput().WideLine(character->ExpandTags(platform::Utf8ToWide(text)));
  }
  character.reset();
  return ExitStatusAfterSaving();
}

// Any number of texts, taken verbatim. A list option would read "[a,b]" as
// two texts "a" and "b"; CLI11 does that only while it may take extra
// arguments, so the option instead expects "very many" texts one at a time
// and keeps however many it got.
constexpr int kManyTexts = 1 << 20;

CommandRunner SetUpExpand(CLI::App& app) {
  auto options = std::make_shared<ExpandOptions>();
  CLI::App* expand = app.add_subcommand("expand", "Expand the tags of each TEXT, in order");
  expand->add_option("--character", options->base_file,
                     "the character's base file (default: a character with no files)");
  AddNoSave(*expand, options->no_save);
  expand->add_option("text", options->texts, "texts with tags")
      ->required()
      ->expected(kManyTexts)
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  AddExitStatuses(*expand, {{kExitOk, "every text was expanded"},
                            {kExitFailure, kRefusedStatus},
                            {kExitUsage, kUsageStatus},
                            {kExitNotSaved, kNotSavedStatus}});
  return [options] { return RunExpand(*options); };
}

const CommandRegistrar kExpandCommand(20, SetUpExpand);

}  // namespace
}  // namespace parlevo::cli
