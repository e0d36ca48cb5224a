// Tests of the knowledge data: loading the four kinds plain and enciphered,
// tiers, the end marker, once-only entries, kind A context, kind 0
// conditions, the random choice and the notes for the personality author.
#include "data/lumo_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <tuple>

#include "common/scratch_dir.h"
#include "data/character_file.h"
#include "data/crypt.h"
#include "platform/clock.h"
#include "platform/random.h"

namespace parlevo {
namespace {

using Answers = std::set<std::string>;
using Lines = std::vector<std::string>;

// A day and a time; each test draw moves the frozen clock a few milliseconds.
constexpr double kSomeDay = 46000.0;
constexpr double kOneMs = 1.0 / 86400000.0;

class LumoDataTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::UnfreezeClock(); }

  // Answers of `searches` searches, each at a different frozen instant.
  Answers Collect(TLumoData& data, std::string_view input, int searches = 40) {
    Answers seen;
    for (int i = 0; i < searches; ++i) {
      platform::FreezeClock(kSomeDay + 0.5 + i * 7 * kOneMs);
      seen.insert(data.Search(input));
    }
    return seen;
  }

  test::ScratchDir Dir;
};

TEST_F(LumoDataTest, KindBFindsPatternsAnywhereAndChoosesAmongAll) {
  TLumoDataB data(false, nullptr);
  data.LoadFromFile(Dir.Write("b.txt", {"A,1", "B,2"}));
  EXPECT_EQ(data.Available(), 2);
  EXPECT_EQ(Collect(data, "A"), Answers{"1"});
  EXPECT_EQ(Collect(data, "XBX"), Answers{"2"});
  EXPECT_EQ(Collect(data, "AB"), (Answers{"1", "2"}));
  EXPECT_EQ(Collect(data, "C"), Answers{""});
}

TEST_F(LumoDataTest, TiersAreTriedInOrderAndDrainInOnceOnlyObjects) {
  const Lines lines = {"A,1", "{PRIOR},x", "A,2"};
  TLumoDataB reusable(false, nullptr);
  reusable.LoadFromFile(Dir.Write("b.txt", lines));
  EXPECT_EQ(Collect(reusable, "A"), Answers{"1"});
  EXPECT_EQ(reusable.Available(), 2);
  EXPECT_EQ(reusable.MarkerCount(), 1);
  EXPECT_EQ(reusable.EntryCount(), 3);

  TLumoDataB once(true, nullptr);
  once.LoadFromFile(Dir.File("b.txt"));
  EXPECT_EQ(once.Search("A"), "1");
  EXPECT_EQ(once.Search("A"), "2");
  EXPECT_EQ(once.Search("A"), "");
  EXPECT_EQ(once.Available(), 0);
}

TEST_F(LumoDataTest, MarkerNeedsTheKindsFieldsAndIgnoresLetterCase) {
  TLumoDataB data(false, nullptr);
  // "{PRIOR}" alone is too short and divides nothing; "{prior},x" is a marker.
  data.LoadFromFile(Dir.Write("b.txt", {"A,1", "{PRIOR}", "A,2", "{prior},x", "A,3"}));
  EXPECT_EQ(data.MarkerCount(), 1);
  EXPECT_EQ(data.Available(), 3);
  EXPECT_EQ(Collect(data, "A"), (Answers{"1", "2"}));
}

TEST_F(LumoDataTest, EndMarkerEndsOneFileAndTiersRunAcrossFiles) {
  TLumoDataB data(true, nullptr);
  data.LoadFromFile(Dir.Write("1.txt", {"A,1", "{PRIOR},x", "A,2", "{ENDOFDATA},x", "A,hidden"}));
  data.LoadFromFile(Dir.Write("2.txt", {"A,3", "{PRIOR},x", "A,4"}));
  EXPECT_EQ(data.Available(), 4);
  EXPECT_EQ(data.Search("A"), "1");
  const Answers second_tier = {data.Search("A"), data.Search("A")};
  EXPECT_EQ(second_tier, (Answers{"2", "3"}));
  EXPECT_EQ(data.Search("A"), "4");
  EXPECT_EQ(data.Search("A"), "");
}

TEST_F(LumoDataTest, ShortLinesAndMissingFilesAddNothing) {
  TLumoDataA data(false, nullptr);
  data.LoadFromFile(Dir.Write("a.txt", {",A,ok", "only,two", "", "one"}));
  data.LoadFromFile(Dir.File("not_there.txt"));
  EXPECT_EQ(data.EntryCount(), 1);
  EXPECT_EQ(data.Available(), 1);
  EXPECT_EQ(data.Search("A"), "ok");

  TLumoDataB empty(true, nullptr);
  EXPECT_EQ(empty.Search("A"), "");
  EXPECT_EQ(empty.Available(), 0);
}

TEST_F(LumoDataTest, DigitWildcardAndFullWidthFormsInPatterns) {
  TLumoDataB data(false, nullptr);
  data.LoadFromFile(Dir.Write("b.txt", {
                                           "##,two_digits",
                                           "\x81\x94\x81\x94,wide_digits",  // ＃＃
                                           "\\#X,hash",
                                           "\x81\x8F\x81\x94Y,wide_hash",  // ￥＃
                                           "\x82\x62\x82\x81t,cat",        // Ｃａt
                                       }));
  EXPECT_EQ(Collect(data, "NO 42"), (Answers{"two_digits", "wide_digits"}));
  EXPECT_EQ(Collect(data, "4X"), Answers{""});
  EXPECT_EQ(Collect(data, "#X"), Answers{"hash"});
  EXPECT_EQ(Collect(data, "#Y"), Answers{"wide_hash"});
  EXPECT_EQ(Collect(data, "CAT"), Answers{"cat"});
  EXPECT_EQ(Collect(data, "Cat"), Answers{""});  // inputs arrive normalised
}

TEST_F(LumoDataTest, MalformedPatternNeverMatchesAndOthersStillDo) {
  TLumoDataB data(false, nullptr);
  data.LoadFromFile(Dir.Write("b.txt", {"(A,broken", "A,fine"}));
  EXPECT_EQ(data.Available(), 2);
  EXPECT_EQ(Collect(data, "(A"), Answers{"fine"});
}

// A pattern repeated within a file and across files is one matcher, checked
// once: every entry of a malformed one is broken and noted, every entry of a
// good one answers (its parse given back to the set in between).
TEST_F(LumoDataTest, RepeatedPatternsAreCheckedOnceAndAnswerForEveryEntry) {
  std::vector<TLoadNote> notes;
  TLumoDataB b(false, nullptr);
  b.SetNoteSink(&notes);
  b.LoadFromFile(Dir.Write("b1.txt", {"(A,broken", "A.*B,one", "(A,again", "A.*B,two"}));
  b.LoadFromFile(Dir.Write("b2.txt", {"A.*B,three", "(A,third"}));
  b.Ready();
  EXPECT_EQ(Collect(b, "(AxB"), (Answers{"one", "two", "three"}));
  TLumoDataA a(false, nullptr);
  a.SetNoteSink(&notes);
  a.LoadFromFile(Dir.Write("a1.txt", {"(x,A,broken", ",A,one", "(x,B,again"}));
  a.LoadFromFile(Dir.Write("a2.txt", {",A,two", "(x,A,third"}));
  a.Ready();
  EXPECT_EQ(Collect(a, "A"), (Answers{"one", "two"}));
  std::vector<int> lines;
  for (const TLoadNote& note : notes) {
    if (note.Code == "pattern-error") lines.push_back(note.Line);
  }
  EXPECT_EQ(lines, (std::vector<int>{1, 3, 2, 1, 3, 2}));
}

TEST_F(LumoDataTest, KindAMatchesContextAsStoredAndInputAsNormalised) {
  TLumoDataA data(false, nullptr);
  data.LoadFromFile(Dir.Write("a.txt", {
                                           "hello,YES,upper_context",
                                           ",YES,any_context",
                                           "^$,NO,first_turn",
                                       }));
  // Before the first turn the context is empty.
  EXPECT_EQ(Collect(data, "YES"), Answers{"any_context"});
  EXPECT_EQ(Collect(data, "NO"), Answers{"first_turn"});
  // The context pattern was upper-cased at load; Context is not folded.
  data.SetContext("hello there");
  EXPECT_EQ(Collect(data, "YES"), Answers{"any_context"});
  data.SetContext("HELLO THERE");
  EXPECT_EQ(Collect(data, "YES"), (Answers{"upper_context", "any_context"}));
  EXPECT_EQ(Collect(data, "NO"), Answers{""});
}

TEST_F(LumoDataTest, KindCTakesLinesAsWrittenAndDrains) {
  TLumoDataC data(true, nullptr);
  data.LoadFromFile(Dir.Write("c.txt", {"\"quoted\", with comma", "", "{Prior}", "later"}));
  EXPECT_EQ(data.Available(), 3);
  EXPECT_EQ(data.MarkerCount(), 1);
  EXPECT_EQ(data.AnswerOf(2), "{PRIOR}");
  const Answers first_tier = {data.Search(""), data.Search("")};
  EXPECT_EQ(first_tier, (Answers{"\"quoted\", with comma", ""}));
  EXPECT_EQ(data.Available(), 1);
  EXPECT_EQ(data.Search(""), "later");
  EXPECT_EQ(data.Search(""), "");
  EXPECT_EQ(data.Available(), 0);
}

// Answers of every length, packed side by side or long enough for a block
// of their own, come back byte for byte, each with its tier, file and line
// (the lines split over three files, the middle one empty).
TEST_F(LumoDataTest, EveryAnswerComesBackAsWrittenWithItsTierAndOrigin) {
  const size_t lengths[] = {1, 16383, 16384, 16385, 40000, 65535, 65536, 70000};
  std::mt19937 random(7);
  Lines lines;
  for (int i = 0; i < 240; ++i) {
    if (i % 61 == 60) {
      lines.push_back("{PRIOR}");
      continue;
    }
    const size_t n = i % 4 == 0 ? lengths[random() % std::size(lengths)] : 1 + random() % 300;
    std::string line = std::to_string(i) + ":";
    while (line.size() < n) line += static_cast<char>('a' + random() % 26);
    lines.push_back(line);
  }
  constexpr int32_t kFirstFile = 100;
  TLumoDataC data(false, nullptr);
  data.LoadFromFile(Dir.Write("c1.txt", Lines(lines.begin(), lines.begin() + kFirstFile)));
  data.LoadFromFile(Dir.Write("c2.txt", Lines{}));
  data.LoadFromFile(Dir.Write("c3.txt", Lines(lines.begin() + kFirstFile, lines.end())));
  ASSERT_EQ(data.EntryCount(), static_cast<int32_t>(lines.size()));
  int32_t tier = 1;
  for (int32_t i = 0; i < data.EntryCount(); ++i) {
    const TEntryDescription entry = data.Describe(i);
    ASSERT_EQ(entry.Answer, lines[static_cast<size_t>(i)]) << "entry " << i;
    ASSERT_EQ(data.AnswerOf(i), entry.Answer);
    ASSERT_EQ(entry.Tier, tier) << "entry " << i;
    ASSERT_EQ(entry.FileIndex, i < kFirstFile ? 0 : 2) << "entry " << i;
    ASSERT_EQ(entry.Line, i < kFirstFile ? i + 1 : i - kFirstFile + 1) << "entry " << i;
    if (entry.Marker) ++tier;
  }
}

TEST_F(LumoDataTest, KindCEndMarkerIsTheWholeLineFolded) {
  TLumoDataC data(false, nullptr);
  data.LoadFromFile(Dir.Write("c.txt", {"kept", "{endofdata}", "hidden"}));
  EXPECT_EQ(data.EntryCount(), 1);
  EXPECT_EQ(Collect(data, ""), Answers{"kept"});
}

// Conditions are tag text: one without braces is its own value and needs no
// evaluator; the others are asked in order, once per entry while their
// tags have effects.
TEST_F(LumoDataTest, KindZeroEvaluatesConditionsOnlyAsFarAsTheScanGoes) {
  std::vector<std::u16string> asked;
  TLumoData0 data(true, [&](std::u16string_view key, double) {
    asked.emplace_back(key);
    if (key == u"{YES}") return TEvaluation{u"true", false};
    if (key == u"{WIDE}") return TEvaluation{u"\uFF34\uFF32\uFF35\uFF25", false};
    if (key == u"{BLANK}") return TEvaluation{u"TRUE ", false};
    return TEvaluation{u"False", false};
  });
  data.LoadFromFile(Dir.Write("0.txt", {"{no},a", "{yes},b", "{blank},c", "maybe,n", "{PRIOR},x",
                                        "{wide},d", "{digit#},e", "false,f"}));
  EXPECT_EQ(data.Search("ignored"), "b");
  EXPECT_EQ(asked, (std::vector<std::u16string>{u"{NO}", u"{YES}", u"{BLANK}"}));

  asked.clear();
  EXPECT_EQ(data.Search(""), "d");  // "b" is used up: the next tier answers
  EXPECT_EQ(asked, (std::vector<std::u16string>{u"{NO}", u"{BLANK}", u"{WIDE}", u"{DIGIT[0-9]}"}));

  TLumoData0 no_evaluator(false, nullptr);
  no_evaluator.LoadFromFile(Dir.File("0.txt"));
  EXPECT_EQ(no_evaluator.Search(""), "");
}

TEST_F(LumoDataTest, EncipheredFileLoadsLikeItsPlainForm) {
  // greet_b_enciphered.txt holds the lines of greet_b.txt under the key "ロボ".
  const std::string folder = PARLEVO_TEST_DATA "/data/files/";
  TLumoDataB plain(false, nullptr), secret(false, nullptr);
  plain.LoadFromFile(folder + "greet_b.txt");
  secret.LoadFromFile(folder + "greet_b_enciphered.txt");
  ASSERT_EQ(plain.EntryCount(), 4);
  ASSERT_EQ(secret.EntryCount(), plain.EntryCount());
  for (int32_t i = 0; i < plain.EntryCount(); ++i) {
    EXPECT_EQ(secret.AnswerOf(i), plain.AnswerOf(i));
  }
  // "ソフト" and its comma-holding answer survive the cipher whole.
  EXPECT_EQ(secret.AnswerOf(1),
            "\x83\x5C\x83\x74\x83\x67\x82\xCD\x8D\x44\x82\xAB, \x82\xC6\x82\xC4\x82\xE0");
  EXPECT_EQ(Collect(secret, "\x83\x5C\x83\x74\x83\x67"), Answers{std::string(secret.AnswerOf(1))});
  EXPECT_EQ(Collect(secret, "TEA"), Answers{std::string(secret.AnswerOf(3))});
}

TEST_F(LumoDataTest, EveryKindReadsItsEncipheredForm) {
  struct Case {
    std::unique_ptr<TLumoData> data;
    Lines lines;
    std::string input, answer;
  };
  Case cases[] = {
      {std::make_unique<TLumoData0>(false,
                                    [](std::u16string_view, double) {
                                      return TEvaluation{u"True", false};
                                    }),
       {"{FLAG00},zero"},
       "",
       "zero"},
      {std::make_unique<TLumoDataA>(false, nullptr), {",HI,aye"}, "HI", "aye"},
      {std::make_unique<TLumoDataB>(false, nullptr), {"HI,bee"}, "HI", "bee"},
      {std::make_unique<TLumoDataC>(false, nullptr), {"sea"}, "", "sea"},
  };
  for (Case& c : cases) {
    Lines lines = c.lines;
    TCrypt crypt(cmEncrypt);
    crypt.SetKey("Secret");
    crypt.CryptLines(lines);
    c.data->LoadFromFile(Dir.Write("enciphered.txt", lines));
    EXPECT_EQ(c.data->Available(), 1);
    EXPECT_EQ(c.data->Search(c.input), c.answer);
  }
}

TEST_F(LumoDataTest, WindowsStyleNamesFindTheirFiles) {
  TCharacterFile base(PARLEVO_TEST_DATA "/data/files/robo/robo.ltc");
  TLumoDataB data(false, nullptr);
  data.LoadFromFile(base.DataPath("sub\\Talk.TXT"));
  EXPECT_EQ(data.Available(), 2);
  EXPECT_EQ(data.Search("\x83\x8D\x83\x7B"),
            "\x83\x8D\x83\x7B\x82\xCD\x82\xB1\x82\xB1\x82\xC5\x82\xB7");
  EXPECT_EQ(data.Search("HELLO"), "\x83\x6E\x83\x8D\x81\x5B");
}

TEST(AnswerList, ChoiceReseedsThenDraws) {
  TAnswerList empty(0);
  EXPECT_EQ(empty.Choose(), 0);

  TAnswerList list(3);
  for (int index : {10, 20, 30}) list.Add(index);
  std::set<int32_t> seen;
  platform::FreezeClock(kSomeDay + 0.25);  // every draw within one millisecond
  for (int i = 0; i < 30; ++i) {
    platform::SetRandomState(platform::NextSeed());
    const int32_t expected = list.Item(platform::RandomInt(3));
    const int32_t chosen = list.Choose();
    EXPECT_EQ(chosen, expected);
    seen.insert(chosen);
  }
  platform::UnfreezeClock();
  EXPECT_EQ(seen, (std::set<int32_t>{10, 20, 30}));
}

// Runs of entries (sorted arrays and intervals, used-up entries excluded) are
// counted and drawn from without listing; every count, every k-th candidate
// and the whole list must be those of the plain sorted list, on random runs
// of a few entries to thousands, one list cleared and used again throughout.
TEST(AnswerList, RunsAnswerAsTheirSortedList) {
  std::mt19937 random(20);
  TAnswerList list(8);
  for (int round = 0; round < 400; ++round) {
    // Entries 0..n-1 dealt at random to arrays, intervals or nothing.
    const int32_t n = 1 + static_cast<int32_t>(random() % (round % 8 == 0 ? 5000 : 300));
    std::vector<std::vector<int32_t>> arrays(1 + random() % (round % 3 == 0 ? 40 : 6));
    std::vector<int32_t> listed;
    list.Clear();
    for (int32_t e = 0; e < n;) {
      const uint32_t pick = random() % 10;
      if (pick < 2) {  // an interval of a few entries
        const int32_t end = std::min<int32_t>(n, e + 1 + static_cast<int32_t>(random() % 20));
        list.AddInterval(e, end);
        for (; e < end; ++e) listed.push_back(e);
      } else if (pick < 6) {
        arrays[random() % arrays.size()].push_back(e);
        listed.push_back(e++);
      } else {
        ++e;
      }
    }
    for (const auto& array : arrays) list.AddRun(array);
    std::vector<int32_t> expected;
    for (int32_t e : listed) {
      if (random() % 5 == 0) {
        list.Exclude(e);
      } else {
        expected.push_back(e);
      }
    }
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(list.Count(), static_cast<int32_t>(expected.size())) << "round " << round;
    for (size_t k = 0; k < expected.size(); ++k) {
      ASSERT_EQ(list.Item(static_cast<int32_t>(k)), expected[k]) << "round " << round;
    }
    std::vector<int32_t> all;
    list.AppendTo(all);
    ASSERT_EQ(all, expected) << "round " << round;
  }
}

TEST_F(LumoDataTest, NotesReportWhatLoadingPassesOver) {
  std::vector<TLoadNote> notes;
  TLumoDataB data(false, nullptr);
  data.SetNoteSink(&notes);
  const std::string first =
      Dir.Write("b.txt", {"{PRIOR},x", "A,1", "lonely", "(A,broken", "{PRIOR},x", "{PRIOR},y",
                          "B,2", "{ENDOFDATA},x", "C,3", "", "D,4"});
  data.LoadFromFile(first);
  Lines plain = {"E,5", "{PRIOR},x"};
  TCrypt crypt(cmEncrypt);
  crypt.SetKey("k");
  crypt.CryptLines(plain);
  const std::string second = Dir.Write("b2.txt", plain);
  data.LoadFromFile(second);
  data.NoteIdleMarkers();
  EXPECT_EQ(data.Available(), 4);

  ASSERT_EQ(notes.size(), 6u);
  std::sort(notes.begin(), notes.end(), [](const TLoadNote& a, const TLoadNote& b) {
    return std::tie(a.File, a.Line) < std::tie(b.File, b.Line);
  });
  auto expect_note = [&](size_t i, const std::string& file, int line, std::string_view text) {
    EXPECT_EQ(notes[i].File, file) << i;
    EXPECT_EQ(notes[i].Line, line) << i;
    EXPECT_NE(notes[i].Message.find(text), std::string::npos) << i << ": " << notes[i].Message;
  };
  expect_note(0, first, 1, "no entries before it");
  expect_note(1, first, 3, "too few fields (1 of 2)");
  expect_note(2, first, 4, "pattern \"(A\" does not compile: ");
  EXPECT_GT(notes[2].Message.size(), std::string("pattern \"(A\" does not compile: ").size());
  expect_note(3, first, 6, "right after another");
  expect_note(4, first, 8, "hides the 2 lines");
  expect_note(5, second, 3, "no entries after it");  // the key line is line 1
}

TEST_F(LumoDataTest, NoNotesWithoutASink) {
  TLumoDataB data(false, nullptr);
  data.LoadFromFile(Dir.Write("b.txt", {"{PRIOR},x", "lonely", "(A,broken"}));
  data.NoteIdleMarkers();  // harmless without a sink
  EXPECT_EQ(data.EntryCount(), 2);
}

}  // namespace
}  // namespace parlevo
