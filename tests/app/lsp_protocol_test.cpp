// The language server as an editor drives it, through pipes: a session from
// initialize to exit over a Shift JIS personality with a planted mistake,
// and a client that sends everything wrong.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/lsp_client.h"
#include "common/run_cli.h"
#include "common/scratch_dir.h"
#include "engine/tag_table.h"
#include "platform/codepage.h"

namespace parlevo::test {
namespace {

using Json = LspClient::Json;

std::string Sjis(std::string_view utf8) { return platform::Utf8ToAnsi(utf8); }

std::string Uri(const std::string& path) { return "file://" + path; }

Json Document(const std::string& uri, const std::string& text, int version = 1) {
  return {{"textDocument",
           {{"uri", uri}, {"languageId", "parlevo"}, {"version", version}, {"text", text}}}};
}

Json At(const std::string& uri, int line, int character) {
  return {{"textDocument", {{"uri", uri}}},
          {"position", {{"line", line}, {"character", character}}}};
}

Json DiagnosticsOf(LspClient& client, const std::string& uri, int version) {
  return client.Await([&](const Json& m) {
    return m.value("method", "") == "textDocument/publishDiagnostics" &&
           m["params"]["uri"] == uri && m["params"].value("version", -1) == version;
  })["params"]["diagnostics"];
}

std::set<std::string> Labels(const Json& items) {
  std::set<std::string> labels;
  for (const Json& item : items) labels.insert(item["label"].get<std::string>());
  return labels;
}

std::set<std::string> Listing(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    names.insert(entry.path().string());
  }
  return names;
}

class LanguageServer : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = dir_.Write("shop.ltc", {"name", Sjis("店番"), "version", "210", "folder", "data",
                                    "data01", "open.txt", "datab1", "talk.txt"});
    dir_.Write("data/open.txt", {"TRUE," + Sjis("\"ようこそ\"")});
    // Line 2: an unknown tag after six characters that take three bytes
    // each in UTF-8, so a column counted in bytes would be wrong.
    talk_ = dir_.Write("data/talk.txt",
                       {Sjis("こんにちは,\"いらっしゃい\""), Sjis("天気,\"今日は{NICKNAM}さん\"")});
    talk_text_ = "こんにちは,\"いらっしゃい\"\r\n天気,\"今日は{NICKNAM}さん\"\r\n";
  }

  ScratchDir dir_{"parlevo-lsp"};
  std::string base_, talk_, talk_text_;
};

TEST_F(LanguageServer, ServesAPersonalityFromInitializeToExit) {
  const std::set<std::string> files_before = Listing(dir_.Path());
  LspClient client;
  const Json init =
      client.Request("initialize", {{"processId", nullptr}, {"capabilities", Json::object()}});
  EXPECT_EQ(init["result"]["capabilities"]["positionEncoding"], "utf-16");
  client.Notify("initialized", Json::object());

  // The planted mistake, at its line and UTF-16 columns, with its fix.
  const std::string talk = Uri(talk_);
  client.Notify("textDocument/didOpen", Document(talk, talk_text_));
  Json diagnostics = DiagnosticsOf(client, talk, 1);
  ASSERT_EQ(diagnostics.size(), 1u) << diagnostics.dump(1);
  EXPECT_EQ(diagnostics[0]["code"], "unknown-tag");
  EXPECT_EQ(diagnostics[0]["range"]["start"], (Json{{"line", 1}, {"character", 7}}));
  EXPECT_EQ(diagnostics[0]["range"]["end"], (Json{{"line", 1}, {"character", 16}}));

  const Json actions = client.Request(
      "textDocument/codeAction",
      {{"textDocument", {{"uri", talk}}},
       {"range",
        {{"start", {{"line", 1}, {"character", 0}}}, {"end", {{"line", 1}, {"character", 0}}}}},
       {"context", {{"diagnostics", Json::array()}}}})["result"];
  ASSERT_EQ(actions.size(), 1u);
  const Json edit = actions[0]["edit"]["changes"][talk][0];
  EXPECT_EQ(edit["newText"], "{NICKNAME}");
  EXPECT_EQ(edit["range"], diagnostics[0]["range"]);

  // parlevo.try reports what the try command prints.
  const Json tried =
      client.Request("workspace/executeCommand",
                     {{"command", "parlevo.try"}, {"arguments", {talk, "こんにちは"}}});
  const CliResult cli = RunParlevoCli({"try", base_, "こんにちは"});
  ASSERT_EQ(cli.status, 0) << cli.err;
  EXPECT_EQ(tried["result"]["lines"].get<std::vector<std::string>>(), cli.OutLines());

  // An unsaved change is what is checked: the tag mended, a blank that cuts
  // an answer planted on the first line.
  const std::string changed = "こんにちは,いらっしゃい ませ\r\n天気,\"今日は{NICKNAME}さん\"\r\n";
  client.Notify("textDocument/didChange", {{"textDocument", {{"uri", talk}, {"version", 2}}},
                                           {"contentChanges", {{{"text", changed}}}}});
  diagnostics = DiagnosticsOf(client, talk, 2);
  ASSERT_EQ(diagnostics.size(), 1u) << diagnostics.dump(1);
  EXPECT_EQ(diagnostics[0]["code"], "too-many-fields");
  EXPECT_EQ(diagnostics[0]["range"]["start"]["line"], 0);

  const Json hover = client.Request("textDocument/hover", At(talk, 1, 10))["result"];
  const TTagRow* nickname = FindTagRow(u"NICKNAME");
  ASSERT_NE(nickname, nullptr);
  EXPECT_NE(hover["contents"]["value"].get<std::string>().find(nickname->SummaryEn),
            std::string::npos)
      << hover.dump(1);

  const std::set<std::string> tags =
      Labels(client.Request("textDocument/completion", At(talk, 1, 8))["result"]);
  EXPECT_TRUE(tags.count("NICKNAME") && tags.count("COUNT")) << tags.size();

  // From the base file's data list to the data file.
  const std::string base = Uri(base_);
  client.Notify(
      "textDocument/didOpen",
      Document(base,
               "name\r\n店番\r\nversion\r\n210\r\nfolder\r\ndata\r\ndata01\r\nopen.txt\r\n"
               "datab1\r\ntalk.txt\r\n"));
  const Json definition = client.Request("textDocument/definition", At(base, 9, 2))["result"];
  EXPECT_EQ(definition["uri"], talk);
  const Json keys = client.Request("textDocument/completion", At(base, 10, 0))["result"];
  EXPECT_TRUE(Labels(keys).count("datac2"));
  const Json symbols =
      client.Request("textDocument/documentSymbol", {{"textDocument", {{"uri", talk}}}});
  EXPECT_EQ(symbols["result"][0]["name"], "tier 1");

  EXPECT_TRUE(client.Request("shutdown", nullptr)["result"].is_null());
  client.Notify("exit", nullptr);
  EXPECT_EQ(client.Wait(), 0);
  // Nothing was written: no state file, no copy, no temporary file.
  EXPECT_EQ(Listing(dir_.Path()), files_before);
}

int ErrorCode(const Json& answer) { return answer["error"].value("code", 0); }

TEST_F(LanguageServer, AnswersWhatAClientSendsWrongAndGoesOn) {
  LspClient client;
  auto next_error = [&] { return client.Await([](const Json& m) { return m.contains("error"); }); };
  EXPECT_EQ(ErrorCode(client.Request("textDocument/hover", At(Uri(talk_), 0, 0))), -32002);
  client.SendRaw("Garbage\r\n\r\n");
  EXPECT_EQ(ErrorCode(next_error()), -32700);
  // A length that cannot be read: its body runs into the next message,
  // which is still found and answered.
  const std::string next = R"({"jsonrpc":"2.0","id":"after","method":"shutdown"})";
  client.SendRaw("Content-Length: many\r\n\r\n{\"id\":1}Content-Length: " +
                 std::to_string(next.size()) + "\r\n\r\n" + next);
  EXPECT_EQ(ErrorCode(next_error()), -32700);
  EXPECT_EQ(ErrorCode(next_error()), -32002);  // "after", answered: not initialized yet
  client.SendBody("{not json");
  EXPECT_EQ(ErrorCode(next_error()), -32700);
  client.SendBody("[1, 2]");
  EXPECT_EQ(ErrorCode(next_error()), -32600);
  client.SendBody(R"({"jsonrpc":"2.0","id":{"no":1},"method":"initialize"})");
  EXPECT_EQ(ErrorCode(next_error()), -32600);

  client.Request("initialize",
                 {{"capabilities", {{"general", {{"positionEncodings", {"utf-8", "utf-16"}}}}}}});
  client.Notify("no/such/notification", Json::object());
  EXPECT_EQ(ErrorCode(client.Request("no/such/method", Json::object())), -32601);
  EXPECT_EQ(ErrorCode(client.Request("textDocument/hover", Json::object())), -32602);
  EXPECT_EQ(ErrorCode(client.Request("textDocument/hover", At(Uri(talk_), 0, 0))),
            -32602);  // not open
  EXPECT_EQ(ErrorCode(client.Request("workspace/executeCommand",
                                     {{"command", "parlevo.try"}, {"arguments", {1}}})),
            -32602);

  // A text file no base file lists is no personality file.
  const std::string notes = dir_.Write("elsewhere/notes.txt", {"shopping list"});
  client.Notify("textDocument/didOpen", Document(Uri(notes), "shopping list\n"));
  EXPECT_EQ(ErrorCode(client.Request("textDocument/hover", At(Uri(notes), 0, 0))), -32803);
  for (const auto& [path, kind] : {std::pair{notes, "other"}, {talk_, "data"}, {base_, "base"}}) {
    EXPECT_EQ(client.Request("parlevo/fileKind", {{"uri", Uri(path)}})["result"]["kind"], kind)
        << path;
  }
  EXPECT_EQ(ErrorCode(client.Request("textDocument/hover", At(Uri(notes), 9, 0))), -32803);

  // UTF-8 positions, as offered: the tag begins at byte 17 of line 2 (character 7).
  client.Notify("textDocument/didOpen", Document(Uri(talk_), talk_text_));
  const Json diagnostics = DiagnosticsOf(client, Uri(talk_), 1);
  ASSERT_EQ(diagnostics.size(), 1u);
  EXPECT_EQ(diagnostics[0]["range"]["start"]["character"], 17);

  EXPECT_TRUE(client.Request("shutdown", nullptr)["result"].is_null());
  EXPECT_EQ(ErrorCode(client.Request("textDocument/hover", At(Uri(talk_), 0, 0))), -32600);
  client.CloseInput();  // gone without exit
  EXPECT_EQ(client.Wait(), 1);
}

// Whether this build runs under a sanitizer (unoptimised and many times
// slower: reading 64 MiB of JSON takes minutes there).
constexpr bool kSanitized =
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    true;
#else
    false;
#endif

TEST_F(LanguageServer, ADocumentOverTheFileBudgetGetsADiagnosticNotALoad) {
  if (kSanitized) GTEST_SKIP() << "64 MiB through JSON is too slow for a sanitizer build";
  LspClient client;
  client.patience_ms = 100000;
  client.Request("initialize", {{"capabilities", Json::object()}});
  const std::string over((size_t{64} << 20) + 1, 'x');
  client.Notify("textDocument/didOpen", Document(Uri(talk_), over));
  const Json diagnostics = DiagnosticsOf(client, Uri(talk_), 1);
  ASSERT_EQ(diagnostics.size(), 1u);
  EXPECT_EQ(diagnostics[0]["code"], "file-too-large");
  // The rest of the character is checked with that file as it is on disk:
  // the character loads, so its base file has nothing to show.
  client.Notify("textDocument/didOpen", Document(Uri(base_),
                                                 "name\r\n店番\r\nversion\r\n210\r\n"
                                                 "folder\r\ndata\r\ndata01\r\nopen.txt\r\n"
                                                 "datab1\r\ntalk.txt\r\n"));
  EXPECT_EQ(DiagnosticsOf(client, Uri(base_), 1), Json::array());
  EXPECT_TRUE(client.Request("shutdown", nullptr)["result"].is_null());
}

}  // namespace
}  // namespace parlevo::test
