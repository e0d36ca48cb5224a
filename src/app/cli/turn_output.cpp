// The three ways parlevo-cli shows a turn. JSON goes through nlohmann-json,
// so every text is escaped as the format wants, whatever the personality says.
#include "app/cli/turn_output.h"

#include <nlohmann/json.hpp>

#include "app/line_writer.h"
#include "platform/codepage.h"
#include "platform/native_path.h"
#include "platform/numbers.h"

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
                                 {"candidates", source->Candidates},
                                 {"path", platform::EditorPath(source->FilePath)}};
  if (source->Kind == TLumoKind::k0) json["condition"] = platform::AnsiToUtf8(source->Condition);
  if (source->Kind == TLumoKind::kA) {
    json["context_pattern"] = platform::AnsiToUtf8(source->ContextPattern);
  }
  if (source->Kind == TLumoKind::kA || source->Kind == TLumoKind::kB) {
    json["pattern"] = platform::AnsiToUtf8(source->Pattern);
  }
  return json;
}

}  // namespace

std::string SourceLocation(const std::optional<TTurnSource>& source) {
  if (!source) return "none";
  return platform::EditorPath(source->FilePath) + ":" + std::to_string(source->Line);
}

// What the entry matched with: its condition, or its patterns.
std::string MatchedWith(const TTurnSource& source) {
  switch (source.Kind) {
    case TLumoKind::k0:
      return "; condition " + platform::QuotedUtf8(source.Condition);
    case TLumoKind::kA:
      return "; context " + platform::QuotedUtf8(source.ContextPattern) + ", pattern " +
             platform::QuotedUtf8(source.Pattern);
    case TLumoKind::kB:
      return "; pattern " + platform::QuotedUtf8(source.Pattern);
    default:
      return "";
  }
}

std::string DescribeSource(const std::optional<TTurnSource>& source) {
  if (!source) return "no answer";
  return std::string(source->SlotKey) + " " + SourceLocation(source) + " tier " +
         std::to_string(source->Tier) + " of " + std::to_string(source->Tiers) + ", " +
         platform::CountText(source->Candidates, "candidate") + MatchedWith(*source);
}

bool PrintTurn(const TTurn& turn, TTurnOutput output, bool answer) {
  const TLineWriter& out = StandardOutput();
  switch (output) {
    case TTurnOutput::kLines:
      return out.AnsiLine(turn.Line);
    case TTurnOutput::kWhy:
      if (!out.AnsiLine(turn.Line)) return false;
      return !answer || out.Line("  # " + DescribeSource(turn.Source));
    case TTurnOutput::kJson: {
      const nlohmann::ordered_json json = {{"turn", turn.Number},
                                           {"speaker", platform::AnsiToUtf8(turn.Name)},
                                           {"text", platform::AnsiToUtf8(turn.Said)},
                                           {"line", platform::AnsiToUtf8(turn.Line)},
                                           {"source", SourceJson(turn.Source)}};
      return out.Line(json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
    }
  }
  return false;
}

}  // namespace parlevo::cli
