// `parlevo-cli convert --to utf8|sjis FILE...`: re-encodes personality files
// in place, between the code page and UTF-8 with the byte order mark. Each
// file is replaced atomically and its original kept as FILE.bak; a file with
// a line that would not come back the same is refused and left alone.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/command.h"
#include "app/cli/shared_options.h"
#include "app/line_writer.h"
#include "data/reencode.h"
#include "platform/textfile.h"

namespace parlevo::cli {
namespace {

struct ConvertOptions {
  std::string to;
  std::vector<std::string> files;
};

// "FILE:LINE: ", or "FILE: " for the whole file.
std::string Where(const std::string& file, int line) {
  return file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": ";
}

// Converts one file (its path reaches the file system as given) and says
// what became of it; false when it is refused.
bool ConvertFile(const std::string& file, TTargetEncoding to) {
  const TFileReencoding result = ReencodeFile(file, to);
  switch (result.Outcome) {
    case TReencodeOutcome::kRefused:
      PrintError(Where(file, result.Result.Line) + result.Result.Reason + "; file left as it was");
      return false;
    case TReencodeOutcome::kAlready:
      StandardOutput().Line(file + ": already " + EncodingName(to));
      return true;
    case TReencodeOutcome::kConverted:
      StandardOutput().Line(file + ": now " + EncodingName(to) + " (the original is " +
                            result.Backup + ")");
      for (const TReencodeNote& note : result.Result.Notes) {
        StandardOutput().Line(Where(file, note.Line) + note.Message);
      }
      return true;
  }
  return false;
}

int RunConvert(const ConvertOptions& options) {
  const TTargetEncoding to =
      options.to == "utf8" ? TTargetEncoding::kUtf8 : TTargetEncoding::kCodePage;
  bool all = true;
  for (const std::string& file : options.files) {
    try {
      all = ConvertFile(file, to) && all;
    } catch (const platform::EFileError& e) {
      PrintError(e.what());  // UTF-8 already
      all = false;
    }
  }
  return all ? kExitOk : kExitFailure;
}

CommandRunner SetUpConvert(CLI::App& app) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* convert = app.add_subcommand(
      "convert",
      "Re-encode personality files in place (the original kept as FILE.bak): to UTF-8 with the "
      "byte order mark, or back to the code page (Shift JIS by default)");
  convert->add_option("--to", options->to, "utf8 or sjis")
      ->required()
      ->check(CLI::IsMember({"utf8", "sjis"}));
  convert->add_option("files", options->files, "base and data files")->required();
  AddExitStatuses(
      *convert,
      {{kExitOk, "every file is in the form asked for"},
       {kExitFailure, "a file was refused (left as it was) or could not be read or written"},
       {kExitUsage, kUsageStatus}});
  return [options] { return RunConvert(*options); };
}

const CommandRegistrar kConvertCommand(55, SetUpConvert);

}  // namespace
}  // namespace parlevo::cli
