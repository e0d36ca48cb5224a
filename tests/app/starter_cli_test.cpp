// parlevo-cli new as an author starts with it: the starter passes check
// --strict and its own test at once and talks with a sample; folders that
// hold something are refused.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/run_cli.h"

namespace parlevo {
namespace {

namespace fs = std::filesystem;
using test::RunParlevoCli;

TEST(StarterCli, ANewCharacterPassesItsChecksAndTalksWithASample) {
  test::ScratchDir dir;
  const auto made = RunParlevoCli({"new", dir / "みかん"});
  ASSERT_EQ(made.status, 0) << made.err;
  const std::string base = dir / "みかん/みかん.ltc";
  EXPECT_NE(made.out.find("wrote " + base), std::string::npos) << made.out;
  for (const char* file : {"data/greet.txt", "data/follow.txt", "data/react.txt",
                           "data/chatter.txt", "tests/basics.txt"}) {
    EXPECT_TRUE(fs::exists(dir.Path() / "みかん" / file)) << file;
  }
  const auto check = RunParlevoCli({"check", "--strict", base});
  EXPECT_EQ(check.status, 0) << check.out << check.err;
  EXPECT_NE(check.out.find("みかん: entries"), std::string::npos) << check.out;
  const auto test = RunParlevoCli({"test", base, dir / "みかん/tests/basics.txt"});
  EXPECT_EQ(test.status, 0) << test.out << test.err;
  const auto talk = RunParlevoCli({"converse", "--turns", "30", "--interval", "0", "--no-save",
                                   base, PARLEVO_EXAMPLES "/hanako/hanako.ltc"});
  ASSERT_EQ(talk.status, 0) << talk.err;
  ASSERT_EQ(talk.OutLines().size(), 30u);
  EXPECT_TRUE(talk.OutLines()[0].starts_with("みかん > はじめまして、花子さん。")) << talk.out;

  // Another name; an empty folder is new enough, one that holds a file is not.
  fs::create_directories(dir / "empty");
  const auto named = RunParlevoCli({"new", "--name", "ミカン先生", dir / "empty/"});
  ASSERT_EQ(named.status, 0) << named.err;
  EXPECT_NE(dir.Read("empty/empty.ltc").find("ミカン先生"), std::string::npos);
  const std::string before = dir.Read("empty/data/greet.txt");
  const auto again = RunParlevoCli({"new", dir / "empty"});
  EXPECT_EQ(again.status, 2);
  EXPECT_NE(again.err.find("not empty"), std::string::npos) << again.err;
  EXPECT_EQ(dir.Read("empty/data/greet.txt"), before);
  dir.WriteBytes("file", "x");
  EXPECT_EQ(RunParlevoCli({"new", dir / "file"}).status, 2);
  EXPECT_EQ(RunParlevoCli({"new", "--name", "a\tb", dir / "tab"}).status, 2);
  EXPECT_FALSE(fs::exists(dir / "tab"));
}

}  // namespace
}  // namespace parlevo
