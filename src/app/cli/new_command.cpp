// parlevo-cli new: writes a starter character into a new folder, ready for
// check, test and a conversation, to be changed into the author's own.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "app/cli/command.h"
#include "app/cli/shared_options.h"
#include "app/line_writer.h"
#include "app/starter_character.h"
#include "platform/textfile.h"

namespace parlevo::cli {
namespace {

struct NewOptions {
  std::string folder;
  std::string name;
};

int RunNew(const NewOptions& options) {
  std::vector<std::filesystem::path> written;
  try {
    written = WriteStarterCharacter(options.folder, options.name);
  } catch (const EStarterRefused& e) {
    throw CommandError(kExitUsage, e.what());
  } catch (const platform::EFileError& e) {
    throw CommandError(kExitFailure, e.what());
  }
  const TLineWriter& out = StandardOutput();
  for (const std::filesystem::path& file : written) out.Line("wrote " + file.string());
  const std::string base = written.front().string();
  const std::string script = written.back().string();
  out.Line("next: parlevo-cli check --strict " + base);
  out.Line("      parlevo-cli test " + base + " " + script);
  out.Line("      parlevo-cli chat --no-save " + base);
  return kExitOk;
}

CommandRunner SetUpNew(CLI::App& app) {
  auto options = std::make_shared<NewOptions>();
  CLI::App* command = app.add_subcommand(
      "new",
      "Write a starter character into a new folder: a base file named after the folder, one "
      "data file per kind and tests/basics.txt, all UTF-8");
  command->add_option("--name", options->name,
                      "the name the character speaks under (default: the folder's name)");
  command->add_option("folder", options->folder, "the new folder (it may exist, empty)")
      ->required();
  AddExitStatuses(*command, {{kExitOk, "the character was written"},
                             {kExitFailure, "a file could not be written"},
                             {kExitUsage, "a usage error, or the folder is not new or empty"}});
  return [options] { return RunNew(*options); };
}

const CommandRegistrar kNewCommand(45, SetUpNew);

}  // namespace
}  // namespace parlevo::cli
