// Memory slot tags: MEMO, COUNT and FLAG with their sub-forms and errors.
#include "tag_fixture.h"

namespace parlevo {
namespace {

using MemoryTagsTest = TagTest;

TEST_F(MemoryTagsTest, Memo) {
  ExpectAll({
      {"{MEMO01:Abc}{MEMO01+De}{MEMO01}", "{MEMO01:Abc}{MEMO01+De}AbcDe"},
      {"{MEMO01Cx}{MEMO01}", "{MEMO01Cx}AbcDe"},
      {"{MEMO01C}[{MEMO01}]", "{MEMO01C}[{MEMO01}]"},
      {"{memo02:日本語}{MEMO02}", "{memo02:日本語}日本語"},
      {"{MEMO03:{NOW}}{MEMO03}", "{MEMO03:2004/03/07 09:05:01}2004/03/07 09:05:01"},
      {"{MEMO99:x}{MEMO99}", "{MEMO99:x}x"},
      {"{MEMO5}", "{MEMO5}"},
      {"{MEMO5:x}", "{MEMO5:x}"},
      {"{MEMO-1:x}", "{MEMO-1:x}"},
      {"{MEMO100}", "{MEMO100}"},
  });
  EXPECT_EQ(character.Memo(2), platform::Utf8ToAnsi("日本語"));
  EXPECT_EQ(character.Memo(5), "");
  EXPECT_EQ(character.Memo(10), "");
}

// A memo appended to in every turn stops growing at its budget; the slot
// keeps its last accepted text.
TEST_F(MemoryTagsTest, MemoGrowthIsBounded) {
  const std::string chunk(1000, 'x');
  for (int turn = 0; turn < 100; ++turn) Expand("{MEMO07+" + chunk + "}");
  EXPECT_EQ(character.Memo(7).size(), 65000u);
  Expand("{MEMO07:" + std::string(70000, 'y') + "}");
  EXPECT_EQ(character.Memo(7).size(), 65000u);

  // The cap is measured as the state file keeps the memo ("{BR}" for each
  // line break), so a memo within it reads back within it.
  const std::string breaks(10000, '\n');  // 40,000 bytes as saved
  character.SetMemo(8, breaks);
  Expand("{MEMO08+" + std::string(30000, 'y') + "}");
  EXPECT_EQ(character.Memo(8), breaks) << "70,000 bytes as saved";
  Expand("{MEMO08+" + std::string(20000, 'y') + "}");
  EXPECT_EQ(character.Memo(8).size(), 30000u);

  // A slot already over the cap (an older state file) cannot grow at all.
  character.SetMemo(9, std::string(128000, 'z'));
  Expand("{MEMO09+z}");
  EXPECT_EQ(character.Memo(9).size(), 128000u);
}

TEST_F(MemoryTagsTest, Count) {
  ExpectAll({
      {"{COUNT01:5}{COUNT01++}{COUNT01}", "{COUNT01:5}{COUNT01++}6"},
      {"{COUNT01+0.5}{COUNT01}", "{COUNT01+0.5}6.5"},
      {"{COUNT01--}{COUNT01-1.5}{COUNT01}", "{COUNT01--}{COUNT01-1.5}4"},
      {"{COUNT01+-1}{COUNT01}", "{COUNT01+-1}3"},
      {"{COUNT01++5}{COUNT01}", "{COUNT01++5}8"},
      {"{COUNT01+}{COUNT01:abc}{COUNT01}", "{COUNT01+}{COUNT01:abc}8"},
      {"{COUNT01?}{COUNT01}", "{COUNT01?}8"},
      {"{COUNT02:1E308}{COUNT02+1E308}{COUNT02}", "{COUNT02:1E308}{COUNT02+1E308}1E308"},
      {"{+{COUNT01}|1}", "9"},
  });
  EXPECT_EQ(character.Count(1), 8);
}

TEST_F(MemoryTagsTest, Flag) {
  ExpectAll({
      {"{FLAG07}", "False"},
      {"{FLAG07!}{FLAG07}", "{FLAG07!}True"},
      {"{FLAG07!}{FLAG07}", "{FLAG07!}False"},
      {"{FLAG07:yes}{FLAG07}", "{FLAG07:yes}False"},
      {"{flag07:true}{FLAG07}", "{flag07:true}True"},
      {"{FLAG07:FALSE}{FLAG07}", "{FLAG07:FALSE}False"},
      {"{FLAG08:{==1|1}}{FLAG08}", "{FLAG08:True}True"},
      {"{FLAGxx!}", "{FLAGxx!}"},
  });
}

}  // namespace
}  // namespace parlevo
