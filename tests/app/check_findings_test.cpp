// check's findings about what is heard and what is constant, on planted
// mistakes: entries that answer every input and what they starve, conditions
// that always come out the same, comparisons with too many operands, and
// patterns repeated in a tier (a note, which --strict lets pass).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/test_support.h"
#include "common/run_cli.h"

namespace parlevo {
namespace {

using test::RunParlevoCli;

// check --json of `base`: "file:line code" -> the finding.
std::map<std::string, nlohmann::json> Findings(const std::string& base, int expected_status) {
  const test::CliResult run = RunParlevoCli({"check", "--json", "--strict", base});
  EXPECT_EQ(run.status, expected_status) << run.out << run.err;
  std::map<std::string, nlohmann::json> found;
  for (const std::string& line : run.OutLines()) {
    const nlohmann::json json = nlohmann::json::parse(line);
    const std::string file = std::filesystem::path(json["file"].get<std::string>()).filename();
    const std::string at = json["line"].is_null() ? "" : std::to_string(json["line"].get<int>());
    found[file + ":" + at + " " + json["code"].get<std::string>()] = json;
  }
  return found;
}

std::string Message(std::map<std::string, nlohmann::json>& found, const std::string& key) {
  EXPECT_EQ(found.count(key), 1u) << key;
  return found.count(key) ? found[key]["message"].get<std::string>() : std::string();
}

TEST(CheckFindings, PlantedStarvationConstantsAndRepeats) {
  test::ScratchDir dir;
  // Every mistake that does not starve the rest, and the controls beside them.
  const std::string mixed = test::WriteCharacter(
      dir, "mixed",
      {{"data01",
        test::CodePageLines({"True,はじめまして"})},  // once-only: answers once, starves nothing
       {"data02",
        test::CodePageLines({"{==1|2},never", "{>{HOUR}|25},late", "{EQ{YOUBI}|土曜日},weekend",
                             "{EQ{YOUBI}|土曜},saturday", "{==1|2|3},arity", "{EQ{MONTH}|13},month",
                             "{AND{FLAG60}|False},and", "{NE{YOUBI}|月曜},notmonday",
                             "{<={DAY}|31},everyday", "{EQ{FLAG60}|yes},flag"})},
       {"datab1",
        test::CodePageLines({"\"\",once", "\"\",twice"})},  // once-only: repeats are turns
       {"datab2",
        test::CodePageLines({"^hi,hello", "^hi,hey", "{PRIOR},-", "^bye,bye", "^hi,again",
                             "x*,anything", "^bye,laterbye", "{PRIOR},-", "^late,neverheard"})},
       {"datac2", test::CodePageLines({"chat"})}});
  auto found = Findings(mixed, 1);
  EXPECT_NE(Message(found, "data02.txt:1 constant-condition").find("always False"),
            std::string::npos);
  EXPECT_NE(Message(found, "data02.txt:2 constant-condition").find("HOUR gives 0 to 23"),
            std::string::npos);
  EXPECT_NE(Message(found, "data02.txt:3 constant-condition")
                .find("is always False: YOUBI gives 日曜, 月曜, 火曜, 水曜, 木曜, 金曜, 土曜"),
            std::string::npos);
  EXPECT_NE(Message(found, "data02.txt:5 wrong-arity").find("here the second is \"2|3\""),
            std::string::npos);
  EXPECT_NE(Message(found, "data02.txt:6 constant-condition").find("MONTH gives 1 to 12"),
            std::string::npos);
  EXPECT_NE(Message(found, "data02.txt:7 constant-condition").find("always False"),
            std::string::npos);
  EXPECT_NE(Message(found, "data02.txt:9 constant-condition").find("always True"),
            std::string::npos);
  EXPECT_NE(Message(found, "data02.txt:10 constant-condition").find("FLAG gives True, False"),
            std::string::npos);
  EXPECT_EQ(found["data02.txt:2 constant-condition"]["column"], 1);
  EXPECT_EQ(found["data02.txt:2 constant-condition"]["end_column"], 13);
  // The always-true day test starves everything after data02.
  const std::string starves = Message(found, "data02.txt:9 starves-entries");
  EXPECT_NE(starves.find("datab1 (2 entries, from datab1.txt:1), datab2 (7 entries, from "
                         "datab2.txt:1), datac2 (1 entry, from datac2.txt:1)"),
            std::string::npos)
      << starves;
  EXPECT_EQ(found["datab2.txt:2 repeated-pattern"]["severity"], "note");
  EXPECT_NE(Message(found, "datab2.txt:2 repeated-pattern").find("datab2.txt:1 in tier 1"),
            std::string::npos);
  EXPECT_NE(Message(found, "datab2.txt:7 repeated-pattern").find("datab2.txt:4 in tier 2"),
            std::string::npos);
  for (const char* quiet : {"data01.txt:1 starves-entries", "data02.txt:4 constant-condition",
                            "data02.txt:8 constant-condition", "datab1.txt:1 starves-entries",
                            "datab1.txt:2 repeated-pattern", "datab2.txt:5 repeated-pattern",
                            "datab2.txt:6 starves-entries"}) {
    EXPECT_EQ(found.count(quiet), 0u) << quiet;  // datab2.txt:6 is starved itself
  }
  EXPECT_EQ(found.size(), 11u);

  // Without the day test, the pattern that matches the empty text starves
  // the rest of its object and free talk; notes alone pass --strict.
  dir.Write("mixed/data02.txt", test::CodePageLines({"{EQ{YOUBI}|土曜},saturday"}));
  found = Findings(mixed, 1);
  EXPECT_NE(Message(found, "datab2.txt:6 starves-entries")
                .find("(its pattern \"X*\" matches the empty text) and datab2 uses nothing up, so "
                      "what follows it is never heard: tier 3 and below of datab2 (1 entry, from "
                      "datab2.txt:9), datac2 (1 entry, from datac2.txt:1)"),
            std::string::npos);
  EXPECT_EQ(found.size(), 3u);
  // The empty pattern of the once-only datab1 answers once: no finding.
  dir.Write("mixed/datab2.txt", test::CodePageLines({"^hi,hello", "^hi,hey"}));
  found = Findings(mixed, 0);
  EXPECT_EQ(found.size(), 1u);
  EXPECT_EQ(found.count("datab2.txt:2 repeated-pattern"), 1u);
}

}  // namespace
}  // namespace parlevo
