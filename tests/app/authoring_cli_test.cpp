// The author's tools of parlevo-cli run as a user runs them: --why and --json
// on chat and converse, and converse stopping once it is stuck in a loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>

#include "app/test_support.h"
#include "common/run_cli.h"

namespace parlevo {
namespace {

namespace fs = std::filesystem;
using test::RunParlevoCli;

constexpr const char* kClock = "2026/05/04 10:20:30";

class AuthoringCliTest : public ::testing::Test {
 protected:
  AuthoringCliTest() {
    test::CopySamples(PARLEVO_EXAMPLES, dir_.Path());
    hanako_ = dir_ / "hanako/hanako.ltc";
    robo_ = dir_ / "robo/robo.ltc";
  }
  test::ScratchDir dir_;
  std::string hanako_, robo_;
};

TEST_F(AuthoringCliTest, WhyFollowsEveryAnswerWithItsSource) {
  const auto run = RunParlevoCli({"--clock", kClock, "chat", "--why", "--partner", "太郎", hanako_},
                                 "こんにちは\n\nおやつ\n");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = run.OutLines();
  const std::regex why(
      R"(  # (data0[12]|data[abc][12]) [^ :]+\.txt:[0-9]+ tier [0-9]+ of [0-9]+, [0-9]+ candidates?(; .*)?|  # no answer)");
  // The opening and three answers, each followed by its source; the
  // partner's three lines have none.
  ASSERT_EQ(lines.size(), 4u * 2 + 3) << run.out;
  EXPECT_TRUE(std::regex_match(lines[1], std::regex("  # data0[12] .*"))) << lines[1];
  for (size_t i = 0; i < lines.size(); i += 3) {
    if (i > 0) {
      EXPECT_TRUE(lines[i - 1].rfind("太郎 > ", 0) == 0) << lines[i - 1];
    }
    EXPECT_TRUE(lines[i].rfind("花子 > ", 0) == 0) << lines[i];
    EXPECT_TRUE(std::regex_match(lines[i + 1], why)) << lines[i + 1];
  }
}

TEST_F(AuthoringCliTest, JsonGivesOneObjectPerLineWithTextLineAndSource) {
  const auto chat =
      RunParlevoCli({"--clock", kClock, "chat", "--json", "--partner", "太郎", hanako_}, "やあ\n");
  ASSERT_EQ(chat.status, 0) << chat.err;
  const std::vector<std::string> lines = chat.OutLines();
  ASSERT_EQ(lines.size(), 3u);
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto json = nlohmann::json::parse(lines[i]);
    EXPECT_EQ(json["turn"], i + 1);
    EXPECT_EQ(json["line"],
              json["speaker"].get<std::string>() + " > " + json["text"].get<std::string>());
  }
  const auto opening = nlohmann::json::parse(lines[0]);
  EXPECT_EQ(opening["speaker"], "花子");
  EXPECT_EQ(opening["source"]["kind"], "0");
  EXPECT_EQ(opening["source"]["tier"], 1);
  EXPECT_TRUE(opening["source"]["file"].is_string());
  EXPECT_TRUE(opening["source"]["condition"].is_string());
  EXPECT_TRUE(nlohmann::json::parse(lines[1])["source"].is_null());  // the partner

  const auto converse = RunParlevoCli(
      {"--clock", kClock, "converse", "--json", "--turns", "6", "--interval", "0", hanako_, robo_});
  ASSERT_EQ(converse.status, 0) << converse.err;
  ASSERT_EQ(converse.OutLines().size(), 6u);
  for (const std::string& line : converse.OutLines()) {
    const auto json = nlohmann::json::parse(line);
    ASSERT_TRUE(json["source"].is_object()) << line;
    EXPECT_GE(json["source"]["candidates"].get<int>(), 1);
  }
  EXPECT_NE(RunParlevoCli({"chat", "--why", "--json", hanako_}).status, 0);
}

// A chat that went well, kept as a test: it starts from the memory the chat
// started from and passes at once, on a fresh character.
TEST_F(AuthoringCliTest, ARecordedChatPassesAsATest) {
  const std::string input = "こんにちは\n\nおやつ\n好きな食べ物は？\nクイズ\nへえ\n";
  ASSERT_EQ(RunParlevoCli({"--clock", kClock, "chat", "--partner", "太郎", hanako_}, input).status,
            0);  // a first visit, saved
  const std::string script = dir_ / "recorded.txt";
  const auto chat = RunParlevoCli(
      {"--clock", kClock, "chat", "--no-save", "--record", script, "--partner", "太郎", hanako_},
      input);
  ASSERT_EQ(chat.status, 0) << chat.err;
  const std::vector<std::string> lines = test::SplitOutputLines(dir_.Read("recorded.txt"));
  const auto has = [&lines](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  EXPECT_TRUE(has("! clock 2026/05/04 10:20:30.000"));
  EXPECT_TRUE(has("! partner 太郎"));
  EXPECT_TRUE(has("! set COUNT50 1")) << dir_.Read("recorded.txt");
  EXPECT_TRUE(has("> こんにちは"));
  EXPECT_TRUE(has(">"));
  // Each of the seven answers is checked by its text and its source.
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](auto& l) { return l.starts_with("@ "); }),
            7);
  const auto test = RunParlevoCli({"test", hanako_, script});
  EXPECT_EQ(test.status, 0) << test.out << test.err;
  EXPECT_EQ(test.OutLines().back(), "14 checks, 0 failed");
  // What the chat said is what it recorded.
  for (const std::string& said : chat.OutLines()) {
    if (said.starts_with("花子 > ")) {
      EXPECT_TRUE(has("< " + said.substr(std::string("花子 > ").size()))) << said;
    }
  }
  EXPECT_NE(RunParlevoCli({"chat", "--record", dir_ / "no/such/folder.txt", hanako_}).status, 0);
}

TEST_F(AuthoringCliTest, ConverseReportsALoopOnceAndCanStopThere) {
  const std::string ping = test::WriteCharacter(dir_, "ping", {{"datac2", {"ping"}}});
  const std::string pong = test::WriteCharacter(dir_, "pong", {{"datac2", {"pong"}}});
  const auto noted = RunParlevoCli({"converse", "--turns", "12", "--interval", "0", ping, pong});
  ASSERT_EQ(noted.status, 0) << noted.err;
  EXPECT_EQ(noted.OutLines().size(), 12u);
  EXPECT_EQ(noted.err, "# stuck: the last 6 lines repeat\n");

  const auto stopped = RunParlevoCli(
      {"converse", "--stop-when-stuck", "--turns", "100", "--interval", "0", ping, pong});
  ASSERT_EQ(stopped.status, 0) << stopped.err;
  // The opening finds nothing (no kind 0 data); the loop starts after it.
  EXPECT_EQ(stopped.OutLines().size(), 7u);
  EXPECT_EQ(stopped.err, "# stuck: the last 6 lines repeat\n");
  EXPECT_TRUE(fs::exists(dir_ / "ping/ping.lts"));  // saved as on any end

  // A three-step counter rotation against a fixed reply loops over six
  // lines (ピン/いち/ピン/に/ピン/さん); it is seen at its third round. The
  // files are UTF-8 with the byte order mark.
  const std::string counter = test::WriteCharacter(
      dir_, "counter",
      {{"data02",
        {"\xEF\xBB\xBF{EQ{COUNT10}|0},いち{COUNT10:1}", "{EQ{COUNT10}|1},に{COUNT10:2}",
         "{EQ{COUNT10}|2},さん{COUNT10:0}"}}});
  const std::string pin = test::WriteCharacter(dir_, "pin", {{"datac2", {"\xEF\xBB\xBFピン"}}});
  const auto rotation = RunParlevoCli(
      {"converse", "--stop-when-stuck", "--turns", "100", "--interval", "0", pin, counter});
  ASSERT_EQ(rotation.status, 0) << rotation.err;
  EXPECT_EQ(rotation.err, "# stuck: the last 18 lines repeat\n");
  const auto lines = rotation.OutLines();
  ASSERT_GE(lines.size(), 18u);
  EXPECT_LT(lines.size(), 24u);  // found at the third round, not later
  EXPECT_EQ(std::vector<std::string>(lines.end() - 6, lines.end()),
            std::vector<std::string>(lines.end() - 12, lines.end() - 6));
}

}  // namespace
}  // namespace parlevo
