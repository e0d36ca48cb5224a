// The tag table against the dispatch (every row is reachable and selects
// itself) and against the authors' guides (every tag they show is known, and
// every listed row is shown in each).
#include "engine/tag_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "data/text_helpers.h"
#include "engine/answer_check.h"
#include "engine/tag_lookup.h"
#include "platform/codepage.h"

namespace parlevo {
namespace {

std::string NameOf(const TTagRow& row) { return std::string(row.Name); }

// The shortest key that passes the row's own tests: the name ("?" as "X"),
// then digits up to the least length, then the bar.
std::u16string SampleKey(const TTagRow& row) {
  std::u16string key;
  for (char c : row.Name) key += char16_t(c == '?' ? 'X' : c);
  if (row.Match == TTagNameMatch::kExact) return key;
  while (key.size() + (row.NeedsBar ? 1 : 0) < row.MinLength) key += u'0';
  if (row.NeedsBar) key += u'|';
  return key;
}

TEST(TagTable, EveryRowIsReachableAndSelectsItself) {
  std::set<std::string_view> names;
  for (const TTagRow& row : TagRows()) {
    const std::u16string key = SampleKey(row);
    EXPECT_TRUE(names.insert(row.Name).second) << NameOf(row) << " twice";
    EXPECT_EQ(NormalizeText(key), key) << NameOf(row) << " is not written folded";
    EXPECT_EQ(FindTagRow(key), &row) << NameOf(row) << " is shadowed or fails its own tests";
    const TTagLookup lookup = LookUpTag(key);
    ASSERT_TRUE(lookup.Sure) << NameOf(row);
    EXPECT_EQ(lookup.Rows.back(), &row) << NameOf(row);
    EXPECT_FALSE(row.SummaryEn.empty() || row.SummaryJa.empty()) << NameOf(row);
    // Without the bar or the length the row asks for, it is not selected.
    if (row.NeedsBar) {
      EXPECT_NE(FindTagRow(key.substr(0, key.size() - 1)), &row) << NameOf(row);
    }
    if (row.MinLength > 0) {
      EXPECT_NE(FindTagRow(key.substr(0, row.MinLength - 1)), &row) << NameOf(row);
    }
  }
  EXPECT_EQ(FindTagRow(u""), nullptr);
  EXPECT_EQ(FindTagRow(u"NOW "), nullptr);
  EXPECT_EQ(FindTagRow(u"ＮＯＷ"), nullptr);  // keys arrive folded
}

TEST(TagTable, InnerTagsMaySelectSeveralRows) {
  const auto names = [](std::u16string_view content) {
    std::vector<std::string> found;
    for (const TTagRow* row : LookUpTag(content).Rows) found.push_back(NameOf(*row));
    return found;
  };
  using V = std::vector<std::string>;
  EXPECT_EQ(names(u"IF{==1|1}yes|no"), (V{"IFTRUE", "IFFALSE"}));
  EXPECT_EQ(names(u"not:{FLAG01}"), (V{"NOT:TRUE", "NOT:FALSE"}));
  EXPECT_EQ(names(u"<{COUNT01}|3"), (V{"<=", "<"}));
  EXPECT_EQ(names(u"RANDOM{MEMO01}"), (V{"RANDOMB:", "RANDOMV:", "RANDOM?:"}));
  EXPECT_EQ(names(u"MEMO{COUNT01}"), (V{"MEMO"}));  // the length may come from the inner tag
  EXPECT_EQ(names(u"NOWW"), V{});
  EXPECT_EQ(names(u"NOWX{MEMO01}"), V{});
  const TTagLookup any = LookUpTag(u"{MEMO01}");  // a name from a tag may be any
  EXPECT_EQ(any.Rows.size(), TagRows().size());
  EXPECT_FALSE(any.Sure);
}

// ---------------------------------------------------------------------------
// The guides

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The tags shown in the guide's section on tags: inline code that is a whole
// tag text (table cells unescaped) and the lines of code blocks.
std::vector<std::string> GuideExamples(const std::string& guide, const std::string& heading) {
  std::istringstream in(guide);
  std::vector<std::string> examples;
  bool inside = false, code = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("## ", 0) == 0) inside = line == heading;
    if (!inside) continue;
    if (line.rfind("```", 0) == 0) {
      code = !code;
      continue;
    }
    if (code) {
      examples.push_back(line);
      continue;
    }
    for (size_t at = line.find('`'); at != std::string::npos;) {
      const size_t end = line.find('`', at + 1);
      if (end == std::string::npos) break;
      std::string span = line.substr(at + 1, end - at - 1);
      for (size_t bar; (bar = span.find("\\|")) != std::string::npos;) span.erase(bar, 1);
      if (span.size() > 1 && span.front() == '{' && span.back() == '}') examples.push_back(span);
      at = line.find('`', end + 1);
    }
  }
  return examples;
}

// Every tag of `text` (UTF-8), inner ones too, as the text between its braces.
std::vector<std::u16string> TagContents(const std::string& text) {
  const std::u16string wide = platform::Utf8ToWide(text);
  std::vector<std::u16string> contents;
  for (size_t open = wide.find(u'{'); open != std::u16string::npos;
       open = wide.find(u'{', open + 1)) {
    int depth = 0;
    for (size_t i = open; i < wide.size(); ++i) {
      depth += wide[i] == u'{' ? 1 : wide[i] == u'}' ? -1 : 0;
      if (depth == 0) {
        contents.push_back(wide.substr(open + 1, i - open - 1));
        break;
      }
    }
  }
  return contents;
}

void ExpectGuideShowsTheTable(const std::string& file, const std::string& heading) {
  const std::string guide = ReadFile(std::string(PARLEVO_TEST_DATA) + "/../docs/" + file);
  const std::vector<std::string> examples = GuideExamples(guide, heading);
  ASSERT_GT(examples.size(), 50u) << file << ": no section " << heading;
  std::set<const TTagRow*> shown;
  for (const std::string& example : examples) {
    EXPECT_TRUE(CheckAnswer(platform::Utf8ToAnsi(example)).empty()) << file << ": " << example;
    for (const std::u16string& content : TagContents(example)) {
      const TTagLookup lookup = LookUpTag(content);
      EXPECT_FALSE(lookup.Rows.empty()) << file << ": unknown tag in " << example;
      if (lookup.Sure) {
        EXPECT_TRUE(lookup.Rows.back()->Listed) << file << ": " << example;
        shown.insert(lookup.Rows.back());
      } else if (!lookup.Key.empty() && lookup.Key[0] != kInnerTag) {
        shown.insert(lookup.Rows.begin(), lookup.Rows.end());  // IF and its condition
      }
    }
  }
  for (const TTagRow& row : TagRows()) {
    if (row.Listed) {
      EXPECT_TRUE(shown.count(&row)) << file << " shows no " << NameOf(row);
    }
  }
}

TEST(TagTable, EachGuideShowsEveryListedTagAndOnlyKnownOnes) {
  ExpectGuideShowsTheTable("authoring.md", "## Tags");
  ExpectGuideShowsTheTable("authoring.ja.md", "## タグ");
}

}  // namespace
}  // namespace parlevo
