// Tests of the sample characters in examples/: they load, talk to each other
// in a lively way for a good while, and count their conversations across
// runs in their state files.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/conversation.h"
#include "engine/character.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/datetime.h"
#include "test_support.h"

namespace parlevo {
namespace {

using test::RecordingSink;
using test::ScratchDir;

constexpr size_t kLines = 60;

// A copy of the samples in a scratch folder, so the state files written by
// the tests stay out of the source tree.
class SampleCopy {
 public:
  SampleCopy() {
    test::CopySamples(PARLEVO_EXAMPLES, dir_.Path());
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_.Path())) {
      if (entry.path().extension() == ".lts") std::filesystem::remove(entry.path());
    }
  }
  std::string Hanako() const { return dir_.File("hanako/hanako.ltc"); }
  std::string Robo() const { return dir_.File("robo/robo.ltc"); }

  // One conversation of kLines lines at full speed; the lines in UTF-8.
  std::vector<std::string> Converse() const {
    RecordingSink sink;
    TParlevoThread conversation(Hanako(), Robo(), "", 0, sink);
    EXPECT_TRUE(sink.WaitLines(kLines));
    conversation.Terminate();
    conversation.WaitFor();
    std::vector<std::string> lines;
    for (const std::string& line : sink.Lines()) lines.push_back(platform::AnsiToUtf8(line));
    lines.resize(kLines);
    return lines;
  }

 private:
  ScratchDir dir_;
};

class ConversationSamplesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(std::filesystem::path(PARLEVO_EXAMPLES) / "robo" / "robo.ltc")) {
      GTEST_SKIP() << "no sample characters";
    }
  }
  void TearDown() override { platform::UnfreezeClock(); }
};

// At full speed many turns fall within the same few milliseconds, so a
// frozen clock is the hardest case for variety: every draw is re-seeded
// within one millisecond. Each instant gives other draws.
TEST_F(ConversationSamplesTest, StayLivelyForSixtyLinesWhateverTheDraws) {
  for (const char* instant :
       {"2026/03/07 14:05:01.000", "2026/03/07 14:05:01.050", "2026/03/07 14:05:01.500",
        "2026/03/07 21:30:00.300", "2026/03/07 03:10:00.850", "2026/03/07 07:45:00.999"}) {
    SCOPED_TRACE(instant);
    platform::FreezeClock(*platform::TextToDateTime(instant));
    const std::vector<std::string> lines = SampleCopy().Converse();
    std::map<std::string, int> times;
    for (size_t i = 0; i < lines.size(); ++i) {
      const std::string speaker = i % 2 == 0 ? "花子 > " : "ロボ > ";
      ASSERT_EQ(lines[i].rfind(speaker, 0), 0u) << i << ": " << lines[i];
      EXPECT_GT(lines[i].size(), speaker.size()) << "silence at line " << i;
      EXPECT_EQ(lines[i].find_first_of("{}[]"), std::string::npos) << "tag left: " << lines[i];
      ++times[lines[i]];
    }
    EXPECT_EQ(lines[0], "花子 > はじめまして、ロボ！私は花子。これからよろしくね。");
    EXPECT_GE(times.size(), kLines * 2 / 3) << "too many repeated lines";
    for (const auto& [line, count] : times) EXPECT_LE(count, 5) << line;
  }
}

TEST_F(ConversationSamplesTest, CountConversationsAcrossRuns) {
  SampleCopy samples;
  samples.Converse();
  EXPECT_EQ(TCharacter(samples.Hanako()).Count(50), 1);
  const std::vector<std::string> second = samples.Converse();
  EXPECT_NE(second[0].find("2回目"), std::string::npos) << second[0];
  EXPECT_NE(second[1].find("2回目"), std::string::npos) << second[1];
  EXPECT_EQ(TCharacter(samples.Hanako()).Count(50), 2);
  EXPECT_EQ(TCharacter(samples.Robo()).Count(50), 2);
}

}  // namespace
}  // namespace parlevo
