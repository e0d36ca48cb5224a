// The three ways parlevo-cli shows a turn. JSON goes through nlohmann-json,
// so every text is escaped as the format wants, whatever the personality says.
#include "app/cli/turn_output.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "app/cli/command.h"
#include "platform/codepage.h"

namespace parlevo::cli {
namespace {

std::string KindName(TLumoKind kind) { return std::string(1, static_cast<char>(kind)); }

nlohmann::ordered_json SourceJson(const std::optional<TTurnSource>& source) {
  if (!source) return nullptr;
  nlohmann::ordered_json json = {{"slot", std::string(source->SlotKey)},
                                 {"kind", KindName(source->Kind)},
                                 {"file", std::string(source->File)},  // native
                                 {"line", source->Line},
                                 {"tier", source->Tier},
                                 {"candidates", source->Candidates}};
  if (source->Kind == TLumoKind::k0) json["condition"] = platform::AnsiToUtf8(source->Condition);
  return json;
}

}  // namespace

std::string SourceLocation(const std::optional<TTurnSource>& source) {
  if (!source) return "none";
  return std::string(source->File) + ":" + std::to_string(source->Line);
}

std::string DescribeSource(const std::optional<TTurnSource>& source) {
  if (!source) return "no answer";
  return std::string(source->SlotKey) + " " + SourceLocation(source) + " tier " +
         std::to_string(source->Tier) + " of " + std::to_string(source->Tiers) + ", " +
         std::to_string(source->Candidates) + " candidates";
}

bool PrintTurn(const TTurn& turn, TTurnOutput output, bool answer) {
  switch (output) {
    case TTurnOutput::kLines:
      return PrintAnsiLine(turn.Line);
    case TTurnOutput::kWhy:
      if (!PrintAnsiLine(turn.Line)) return false;
      return !answer || PrintLine("  # " + DescribeSource(turn.Source));
    case TTurnOutput::kJson: {
      const nlohmann::ordered_json json = {{"turn", turn.Number},
                                           {"speaker", platform::AnsiToUtf8(turn.Name)},
                                           {"text", platform::AnsiToUtf8(turn.Said)},
                                           {"line", platform::AnsiToUtf8(turn.Line)},
                                           {"source", SourceJson(turn.Source)}};
      return PrintLine(json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
    }
  }
  return false;
}

void AddTurnOutputOptions(CLI::App& command, TTurnOutput& output) {
  CLI::Option* why = command.add_flag_callback(
      "--why", [&output] { output = TTurnOutput::kWhy; },
      "after each line, where its answer came from");
  CLI::Option* json = command.add_flag_callback(
      "--json", [&output] { output = TTurnOutput::kJson; }, "one JSON object per line");
  why->excludes(json);
}

}  // namespace parlevo::cli
