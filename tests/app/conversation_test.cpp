// Tests of the conversation thread: the opening and the alternation of turns,
// what each character hears, the line pattern and the pace changed during a
// run, pause, resume and stop at every point, and the release of both
// characters with their state saved.
#include "app/conversation.h"

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/pacing.h"
#include "common/character_test_access.h"
#include "data/lumo_data.h"
#include "engine/character.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/datetime.h"
#include "test_support.h"

namespace parlevo {
namespace {

using test::DataFiles;
using test::kPatience;
using test::RecordingSink;
using test::ScratchDir;
using test::WriteCharacter;

constexpr int32_t kLongInterval = 600000;  // ten minutes: "never" within a test

// A short wait for checks that nothing happens; never asserted as a duration.
void Linger() { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }

class ConversationThreadTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::FreezeClock(*platform::TextToDateTime("2026/03/07 09:05:01")); }
  void TearDown() override { platform::UnfreezeClock(); }

  // Ann opens with "hello" and counts conversations in slot 50; Bob keeps a
  // memo in slot 60. With `echo` both answer with what they heard, so each
  // line shows the previous one; otherwise their lines stay short.
  void WritePair(bool echo = false) {
    ann_ = WriteCharacter(
        dir_, "Ann",
        {{"data01", {"TRUE,hello{COUNT50++}"}}, {"datac2", {echo ? "ann:{PREV}" : "ann"}}});
    bob_ = WriteCharacter(dir_, "Bob",
                          {{"datac2", {echo ? "bob:{PREV}{MEMO60:heard}" : "bob{MEMO60:heard}"}}});
  }
  void WriteEchoPair() { WritePair(true); }
  double SavedCount(const std::string& file, int slot) { return TCharacter(file).Count(slot); }

  ScratchDir dir_;
  std::string ann_, bob_;
  RecordingSink sink_;
};

// Memory a conversation changes reaches the state file within a few seconds,
// while it goes on, so a crash or a power cut loses little of it.
TEST_F(ConversationThreadTest, MemoryIsSavedAsTheConversationGoes) {
  ann_ = WriteCharacter(dir_, "Ann", {{"datac2", {"ann{COUNT50++}"}}});
  bob_ = WriteCharacter(dir_, "Bob", {{"datac2", {"bob"}}});
  TParlevoThread conversation(ann_, bob_, "", 1, sink_);
  double saved = 0;
  // The first save comes after kStateSaveIntervalMs; allow far more.
  for (int look = 0; look < 300 && saved == 0; ++look) {
    Linger();
    saved = TCharacter(ann_, TStateUse::kReadOnly).Count(50);
  }
  EXPECT_GT(saved, 0) << "nothing saved while talking";
  EXPECT_TRUE(conversation.FailureMessage().empty());
  conversation.Terminate();
  conversation.WaitFor();
  EXPECT_GE(TCharacter(ann_, TStateUse::kReadOnly).Count(50), saved);
}

// ---------------------------------------------------------------------------
// Turns and lines
// ---------------------------------------------------------------------------

// Two characters and the first lines of their conversation. Answers that
// echo {PREV} show what each one heard.
struct TurnCase {
  const char* what;
  DataFiles ann, bob;
  std::vector<std::string> lines;  // with the pattern "%charname > %comment"
};

const TurnCase kTurnCases[] = {
    {"the first opens, then they alternate, each hearing the other",
     {{"data01", {"TRUE,hello"}}, {"datac2", {"ann:{PREV}"}}},
     {{"datac2", {"bob:{PREV}"}}},
     {"Ann > hello", "Bob > bob:hello", "Ann > ann:bob:hello", "Bob > bob:ann:bob:hello",
      "Ann > ann:bob:ann:bob:hello"}},
    {"each is introduced to the other by name",
     {{"data01", {"TRUE,{NAMAE}/{MYOJI}/{NICKNAME}/{FULLNAME}"}}},
     {{"datac2", {"to:{NICKNAME}"}}},
     {"Ann > Bob/Bob/Bob/BobBob", "Bob > to:Ann"}},
    {"the opening asks kind 0 only; silence is heard as {NothingSaid}",
     {{"datac2", {"chat"}}},
     {{"datab2", {"NOTHINGSAID,silence?", "CHAT,chatting"}}},
     {"Ann > ", "Bob > silence?", "Ann > chat", "Bob > chatting"}},
    {"an empty answer is a line, and silence every time it is heard",
     {{"data01", {"TRUE,hi"}}, {"datac2", {""}}},
     {{"datab2", {"NOTHINGSAID,silence?"}}, {"datac2", {"well"}}},
     {"Ann > hi", "Bob > well", "Ann > ", "Bob > silence?", "Ann > ", "Bob > silence?"}},
    {"the same input twice is marked {Repeated}",
     {{"data01", {"TRUE,same"}}, {"datac2", {"same"}}},
     {{"datab2", {"{REPEATED},again"}}, {"datac2", {"fresh"}}},
     {"Ann > same", "Bob > fresh", "Ann > same", "Bob > again", "Ann > same", "Bob > again"}},
    // {x} is no tag: it is left after expansion and StripBraces drops it.
    {"a line break is shown as {BR} and heard as it is",
     {{"data01", {"TRUE,a{BR}b{x}c"}}, {"datac2", {"-"}}},
     {{"datac2", {"{LENGTH:{PREV}}"}}},
     {"Ann > a{BR}bc", "Bob > 5"}},
};

TEST_F(ConversationThreadTest, TurnsAndWhatEachHears) {
  for (const TurnCase& c : kTurnCases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    const std::string ann = WriteCharacter(dir, "Ann", c.ann);
    const std::string bob = WriteCharacter(dir, "Bob", c.bob);
    RecordingSink sink;
    {
      TParlevoThread conversation(ann, bob, "", 0, sink);
      ASSERT_TRUE(sink.WaitLines(c.lines.size()));
    }
    const std::vector<std::string> lines = sink.Lines();
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + c.lines.size()), c.lines);
  }
}

// ---------------------------------------------------------------------------
// Settings during a run
// ---------------------------------------------------------------------------

TEST_F(ConversationThreadTest, LogFormatChangesApplyFromTheNextLine) {
  WriteEchoPair();
  sink_.HoldAt(2);
  TParlevoThread conversation(ann_, bob_, "", 0, sink_);
  EXPECT_EQ(conversation.LogFormat(), kDefaultLogFormat);
  ASSERT_TRUE(sink_.WaitHeld());
  conversation.SetLogFormat("%comment");
  EXPECT_EQ(conversation.LogFormat(), "%comment");
  sink_.HoldAt(3);
  sink_.Release();
  ASSERT_TRUE(sink_.WaitHeld());
  conversation.SetLogFormat("");
  EXPECT_EQ(conversation.LogFormat(), kDefaultLogFormat);
  sink_.Release();
  ASSERT_TRUE(sink_.WaitLines(4));
  conversation.Terminate();
  conversation.WaitFor();
  const auto lines = sink_.Lines();
  EXPECT_EQ(lines[1], "Bob > bob:hello");
  EXPECT_EQ(lines[2], "ann:bob:hello");
  EXPECT_EQ(lines[3], "Bob > bob:ann:bob:hello");
}

TEST_F(ConversationThreadTest, IntervalChangesReachAWaitInProgress) {
  WritePair();
  TParlevoThread conversation(ann_, bob_, "", kLongInterval, sink_);
  ASSERT_TRUE(sink_.WaitLines(1));  // the opening is never delayed
  conversation.SetInterval(-5);
  EXPECT_EQ(conversation.Interval(), kLongInterval);
  Linger();
  EXPECT_EQ(sink_.Count(), 1u);
  conversation.SetInterval(0);  // the long wait ends at once
  EXPECT_EQ(conversation.Interval(), 0);
  ASSERT_TRUE(sink_.WaitLines(3));
  sink_.HoldAt(sink_.Count() + 1);
  ASSERT_TRUE(sink_.WaitHeld());
  conversation.SetInterval(kLongInterval);  // and a long one starts again
  const size_t held = sink_.Count();
  sink_.Release();
  Linger();
  EXPECT_EQ(sink_.Count(), held);
}

TEST(ConversationPacing, RemainingWaitSurvivesTheCounterWrapping) {
  const struct {
    uint32_t last, now;
    int32_t interval;
    uint32_t remaining;
  } cases[] = {
      {100, 100, 0, 0},
      {100, 100, 100, 100},
      {100, 150, 100, 50},
      {100, 200, 100, 0},
      {100, 5000, 100, 0},
      {100, 150, -5, 0},
      {0xFFFFFFF0u, 0xFFFFFFF0u, 100, 100},  // LastTick + Interval wraps
      {0xFFFFFFF0u, 0x10u, 100, 68},         // the counter itself wraps
      {0xFFFFFFF0u, 0x60u, 100, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RemainingWait(c.last, c.now, c.interval), c.remaining)
        << c.last << " " << c.now << " " << c.interval;
  }
}

// ---------------------------------------------------------------------------
// Pause, resume and stop
// ---------------------------------------------------------------------------

TEST_F(ConversationThreadTest, PauseHaltsBetweenTurnsAndResumeGoesOn) {
  WriteEchoPair();
  sink_.HoldAt(2);
  TParlevoThread conversation(ann_, bob_, "", 0, sink_);
  ASSERT_TRUE(sink_.WaitHeld());
  conversation.Pause();
  EXPECT_TRUE(conversation.Paused());
  sink_.Release();  // the turn in progress finishes
  Linger();
  EXPECT_EQ(sink_.Count(), 2u);
  EXPECT_FALSE(conversation.Finished());
  conversation.Resume();
  EXPECT_FALSE(conversation.Paused());
  ASSERT_TRUE(sink_.WaitLines(4));
  EXPECT_EQ(sink_.Lines()[2], "Ann > ann:bob:hello");
}

// The owner's work for the characters (the window's reload) runs on the
// conversation thread between two turns, also while paused; once the
// conversation stops, what is left is dropped.
TEST_F(ConversationThreadTest, CommandsRunBetweenTurnsEvenWhilePaused) {
  WritePair();
  TParlevoThread conversation(ann_, bob_, "", kLongInterval, sink_);
  ASSERT_TRUE(sink_.WaitLines(1));
  conversation.Pause();
  std::promise<std::thread::id> ran;
  conversation.RunBetweenTurns([&ran](TParlevoThread& thread) {
    thread.Character(1).SetMemo(70, "set between turns");
    ran.set_value(std::this_thread::get_id());
  });
  std::future<std::thread::id> ran_on = ran.get_future();
  ASSERT_EQ(ran_on.wait_for(kPatience), std::future_status::ready);
  EXPECT_NE(ran_on.get(), std::this_thread::get_id());
  EXPECT_EQ(sink_.Count(), 1u);

  conversation.Terminate();
  conversation.WaitFor();
  EXPECT_EQ(TCharacter(bob_).Memo(70), "set between turns");  // saved at the end
  bool late_ran = false;
  conversation.RunBetweenTurns([&late_ran](TParlevoThread&) { late_ran = true; });
  Linger();
  EXPECT_FALSE(late_ran);
}

// Where the stop request arrives, and how many lines the conversation has
// spoken by then; every turn under way runs to its end.
struct StopPoint {
  const char* when;
  int32_t interval;
  size_t hold_at;  // the request arrives while this line is being delivered
  bool pause;      // paused before the request
  size_t lines;
};

const StopPoint kStopPoints[] = {
    {"during the opening turn", 0, 1, false, 1},           {"during a later turn", 0, 3, false, 3},
    {"during the wait", kLongInterval, 0, false, 1},       {"paused between turns", 0, 2, true, 2},
    {"paused during the wait", kLongInterval, 0, true, 1},
};

TEST_F(ConversationThreadTest, TerminateAtEveryPointFinishesTheTurnAndSavesState) {
  for (const StopPoint& point : kStopPoints) {
    SCOPED_TRACE(point.when);
    WritePair();
    RecordingSink sink;
    if (point.hold_at) sink.HoldAt(point.hold_at);
    TParlevoThread conversation(ann_, bob_, "", point.interval, sink);
    if (point.hold_at) {
      ASSERT_TRUE(sink.WaitHeld());
    } else {
      ASSERT_TRUE(sink.WaitLines(1));
    }
    if (point.pause) conversation.Pause();
    conversation.Terminate();
    if (point.hold_at) sink.Release();
    ASSERT_TRUE(conversation.WaitFor(kPatience));
    EXPECT_TRUE(conversation.Finished());
    EXPECT_EQ(sink.Count(), point.lines);
    EXPECT_EQ(conversation.FailureMessage(), "");
    // Released: the opening's counter is in Ann's state file.
    EXPECT_EQ(SavedCount(ann_, 50), 1);
    std::filesystem::remove_all(dir_.Path());
  }
}

TEST_F(ConversationThreadTest, DestroyingAtEveryPointJoinsAndSavesState) {
  for (const StopPoint& point : kStopPoints) {
    SCOPED_TRACE(point.when);
    WritePair();
    RecordingSink sink;
    if (point.hold_at) sink.HoldAt(point.hold_at);
    auto conversation = std::make_unique<TParlevoThread>(ann_, bob_, "", point.interval, sink);
    if (point.hold_at) {
      ASSERT_TRUE(sink.WaitHeld());
    } else {
      ASSERT_TRUE(sink.WaitLines(1));
    }
    if (point.pause) conversation->Pause();
    // A held sink lets go once its owner has let go of the conversation.
    const TParlevoThread* going = conversation.get();
    std::thread owner_lets_go([&] {
      if (!point.hold_at) return;
      while (!going->StopRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      sink.Release();
    });
    conversation.reset();
    owner_lets_go.join();
    EXPECT_EQ(sink.Count(), point.lines);
    EXPECT_EQ(SavedCount(ann_, 50), 1);
    std::filesystem::remove_all(dir_.Path());
  }
}

TEST_F(ConversationThreadTest, BothCharactersSavedAtTheEnd) {
  WritePair();
  for (int run = 1; run <= 2; ++run) {
    RecordingSink sink;
    TParlevoThread conversation(ann_, bob_, "", 0, sink);
    ASSERT_TRUE(sink.WaitLines(2));
    conversation.Terminate();
    conversation.WaitFor();
    EXPECT_EQ(SavedCount(ann_, 50), run);
    EXPECT_EQ(TCharacter(bob_).Memo(60), "heard");
  }
}

TEST_F(ConversationThreadTest, RefusedCharacterStartsNothing) {
  WritePair();
  try {
    TParlevoThread conversation(ann_, dir_.File("missing.ltc"), "", 0, sink_);
    FAIL() << "a missing base file was accepted";
  } catch (const ELumoInvalidCharacter& e) {
    EXPECT_STREQ(e.what(), "characterfile is not found");
  }
  EXPECT_THROW(TParlevoThread(dir_.Write("empty.ltc", {"version", "210"}), bob_, "", 0, sink_),
               ELumoInvalidCharacter);
  Linger();
  EXPECT_EQ(sink_.Count(), 0u);
}

// ---------------------------------------------------------------------------
// Failures during a turn
// ---------------------------------------------------------------------------

// Kind 0 data whose matching breaks, standing in for a fault in the engine.
class BrokenData : public TLumoData0 {
 public:
  explicit BrokenData(const std::string& file) : TLumoData0(false, nullptr) { LoadFromFile(file); }
  void MatchTier(std::string_view, int32_t, int32_t, TAnswerList&) override {
    throw std::runtime_error("data broke");
  }
};

TEST_F(ConversationThreadTest, EngineErrorEndsTheConversationCleanly) {
  WritePair();
  sink_.HoldAt(1);
  TParlevoThread conversation(ann_, bob_, "", 0, sink_);
  ASSERT_TRUE(sink_.WaitHeld());
  // The conversation thread is held inside DeliverLine, so it is not using
  // the characters now.
  TCharacterTestAccess(conversation.Character(1))
      .ReplaceData(0, std::make_unique<BrokenData>(dir_.Write("broken.txt", {"x,y"})));
  sink_.Release();
  ASSERT_TRUE(conversation.WaitFor(kPatience));
  EXPECT_EQ(conversation.FailureMessage(), "data broke");
  EXPECT_EQ(sink_.Count(), 1u);
  EXPECT_EQ(SavedCount(ann_, 50), 1);
}

TEST_F(ConversationThreadTest, SinkErrorEndsTheConversationCleanly) {
  WritePair();
  sink_.OnLine([this] {
    if (sink_.Count() == 2) throw std::runtime_error("window gone");
  });
  TParlevoThread conversation(ann_, bob_, "", 0, sink_);
  ASSERT_TRUE(conversation.WaitFor(kPatience));
  EXPECT_EQ(conversation.FailureMessage(), "window gone");
  EXPECT_EQ(sink_.Count(), 2u);
  EXPECT_EQ(SavedCount(ann_, 50), 1);
  EXPECT_EQ(TCharacter(bob_).Memo(60), "heard");
}

}  // namespace
}  // namespace parlevo
