// End-to-end tests of `parlevo-cli converse`: lines on stdout as UTF-8, the
// line limit, the exit statuses, and an interrupt that still saves state.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/character.h"
#include "platform/codepage.h"
#include "test_support.h"

namespace parlevo {
namespace {

using test::kPatience;
using test::ScratchDir;
using test::WriteCharacter;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct CliRun {
  int status = -1;
  std::string out, err;
};

// Starts parlevo-cli with `args`, stdout and stderr going to files in `dir`.
// With `input`, standard input comes from that file.
pid_t StartCli(const ScratchDir& dir, const std::vector<std::string>& args,
               const std::string& input = "") {
  const std::string out = dir.File("out.txt"), err = dir.File("err.txt");
  std::filesystem::remove(out);  // so no one reads an earlier run's output
  std::filesystem::remove(err);
  // Everything the child needs is prepared before fork: it only opens and execs.
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(PARLEVO_CLI));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out_fd, 1);
    dup2(err_fd, 2);
    if (!input.empty()) dup2(open(input.c_str(), O_RDONLY), 0);
    execv(PARLEVO_CLI, argv.data());
    _exit(127);
  }
  return pid;
}

CliRun Finish(const ScratchDir& dir, pid_t pid) {
  CliRun run;
  int status = 0;
  waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = ReadAll(dir.File("out.txt"));
  run.err = ReadAll(dir.File("err.txt"));
  return run;
}

CliRun RunCli(const ScratchDir& dir, const std::vector<std::string>& args,
              const std::string& input = "") {
  return Finish(dir, StartCli(dir, args, input));
}

class ConversationCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string hanako = platform::WideToAnsi(u"花子", 932);
    dir_.Write("h/open.txt", {"TRUE,hello{COUNT50++}"});
    dir_.Write("h/free.txt", {platform::WideToAnsi(u"いい天気", 932)});
    first_ = dir_.Write("h.ltc", {"name", hanako, "version", "210", "folder", "h", "data01",
                                  "open.txt", "datac2", "free.txt"});
    second_ = WriteCharacter(dir_, "Bob", {{"datac2", {"{PREV}?"}}});
  }
  double SavedCount() { return TCharacter(first_).Count(50); }

  ScratchDir dir_;
  std::string first_, second_;
};

TEST_F(ConversationCliTest, PrintsTheLimitedNumberOfLinesInUtf8) {
  CliRun run = RunCli(dir_, {"converse", "--turns", "4", "--interval", "0", first_, second_});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> expected = {"花子 > hello", "Bob > hello?", "花子 > いい天気",
                                             "Bob > いい天気?"};
  EXPECT_EQ(SplitLines(run.out), expected);
  EXPECT_EQ(SavedCount(), 1);
}

// A group of three: in the given order each answers the line before it,
// named as its partner for that turn; with --order best the one whose
// pattern matches speaks next; a base file twice in a group is refused.
TEST_F(ConversationCliTest, GroupsTakeTurnsInOrderOrByBestAnswer) {
  const std::string ann = WriteCharacter(dir_, "Ann", {{"datac2", {"ann:{NICKNAME}"}}});
  const std::string bob = WriteCharacter(dir_, "Bob", {{"datac2", {"bob:{NICKNAME}"}}});
  const std::string cat = WriteCharacter(
      dir_, "Cat", {{"datab2", {"ann,heard-{NICKNAME}"}}, {"datac2", {"cat:{NICKNAME}"}}});
  const std::vector<std::string> common = {
      "--clock", "2026/03/07 09:05:01", "converse", "--no-save", "--turns", "7", "--interval", "0"};
  std::vector<std::string> args = common;
  args.insert(args.end(), {ann, bob, cat});
  CliRun run = RunCli(dir_, args);
  EXPECT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> round = {"Ann > ",        "Bob > bob:Ann", "Cat > heard-Bob",
                                          "Ann > ann:Cat", "Bob > bob:Ann", "Cat > heard-Bob",
                                          "Ann > ann:Cat"};
  EXPECT_EQ(SplitLines(run.out), round);

  args = common;
  args.insert(args.end(), {"--order", "best", ann, bob, cat});
  run = RunCli(dir_, args);
  EXPECT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> best = {"Ann > ",         "Bob > bob:Ann",   "Cat > heard-Bob",
                                         "Ann > ann:Cat",  "Cat > heard-Ann", "Ann > ann:Cat",
                                         "Cat > heard-Ann"};
  EXPECT_EQ(SplitLines(run.out), best);

  // Coverage takes the same group, in the order given: each one reported.
  run = RunCli(dir_, {"coverage", "--turns", "6", "--runs", "1", ann, bob, cat});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("# Ann\n", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("# Bob\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("# Cat\n"), std::string::npos) << run.out;

  run = RunCli(dir_, {"converse", "--turns", "2", ann, bob, dir_.File("Ann/../Ann.ltc")});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("in the group twice"), std::string::npos) << run.err;
}

// A watcher joins in: each line of standard input is said by the watcher
// and answered by the next speaker, who is introduced to the watcher for
// that turn; joined lines count toward no limit; a line over 1 MiB is
// skipped; the end of input leaves the characters talking.
TEST_F(ConversationCliTest, AWatcherJoinsIn) {
  const std::string ann = WriteCharacter(dir_, "Ann", {{"datac2", {"ann:{NICKNAME}"}}});
  const std::string bob = WriteCharacter(dir_, "Bob", {{"datac2", {"bob:{NICKNAME}"}}});
  const std::string input = dir_.File("watcher.txt");
  {
    std::ofstream out(input, std::ios::binary);
    out << std::string((1 << 20) + 10, 'x') << "\nhello\r\n";
  }
  CliRun run = RunCli(
      dir_,
      {"converse", "--no-save", "--join", "Zed", "--turns", "8", "--interval", "100", ann, bob},
      input);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("longer than 1 MiB: skipped"), std::string::npos) << run.err;
  const std::vector<std::string> lines = SplitLines(run.out);
  ASSERT_EQ(lines.size(), 9u) << run.out;
  const auto joined = std::find(lines.begin(), lines.end(), "Zed > hello");
  ASSERT_NE(joined, lines.end()) << run.out;
  ASSERT_NE(joined + 1, lines.end());
  EXPECT_TRUE(joined[1] == "Ann > ann:Zed" || joined[1] == "Bob > bob:Zed") << joined[1];
  if (joined + 2 != lines.end()) {
    EXPECT_EQ(joined[2].find(":Zed"), std::string::npos) << "introduced back: " << joined[2];
  }
}

TEST_F(ConversationCliTest, FormatOption) {
  CliRun run =
      RunCli(dir_, {"--clock", "2026/03/07 09:05:01", "converse", "--turns", "2", "--interval", "0",
                    "--format", "[%CharName] %comment", "--", first_, second_});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> expected = {"[花子] hello", "[Bob] hello?"};
  EXPECT_EQ(SplitLines(run.out), expected);
}

TEST_F(ConversationCliTest, ExitStatuses) {
  const struct {
    const char* what;
    std::vector<std::string> args;
    int status;
    std::string err;  // exact, when not empty
  } cases[] = {
      {"missing base file",
       {"converse", "--turns", "1", first_, dir_.File("none.ltc")},
       1,
       "error: " + dir_.File("none.ltc") + ": characterfile is not found\n"},
      {"not a base file",
       {"converse", "--turns", "1", dir_.Write("x.txt", {"a", "b"}), second_},
       1,
       "error: " + dir_.File("x.txt") +
           ": characterfile is invalid (it has neither a \"name\" nor a \"folder\" value)\n"},
      {"one file only", {"converse", first_}, 2, ""},
      {"negative interval", {"converse", "--interval", "-1", first_, second_}, 2, ""},
      {"zero turns", {"converse", "--turns", "0", first_, second_}, 2, ""},
  };
  for (const auto& c : cases) {
    CliRun run = RunCli(dir_, c.args);
    EXPECT_EQ(run.status, c.status) << c.what << "\n" << run.err;
    if (!c.err.empty()) {
      EXPECT_EQ(run.err, c.err) << c.what;
    }
    EXPECT_EQ(run.out, "") << c.what;
  }
}

TEST_F(ConversationCliTest, InterruptFinishesTheTurnAndSavesState) {
  for (int sig : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(sig);
    const double before = SavedCount();
    pid_t pid = StartCli(dir_, {"converse", "--interval", "10", first_, second_});
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (SplitLines(ReadAll(dir_.File("out.txt"))).size() < 3 &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, sig);
    CliRun run = Finish(dir_, pid);
    EXPECT_EQ(run.status, 0) << run.err;
    const auto lines = SplitLines(run.out);
    ASSERT_GE(lines.size(), 3u);
    for (size_t i = 0; i < lines.size(); ++i) {
      // Every line is whole, and the speakers alternate to the end.
      EXPECT_EQ(lines[i].rfind(i % 2 == 0 ? "花子 > " : "Bob > ", 0), 0u) << lines[i];
    }
    EXPECT_EQ(SavedCount(), before + 1);
  }
}

// SIGINT at a random moment (while loading, between turns, in the middle of
// a write to the pipe) ends every run cleanly: exit 0, every line whole, and
// each character's state saved with one count per line it said.
TEST(ConverseInterrupts, AtRandomMomentsEndEveryRunWithItsStateSaved) {
  constexpr int kRuns = 30, kAtOnce = 5;
  std::mt19937 random(20261207);
  for (int batch = 0; batch < kRuns / kAtOnce; ++batch) {
    struct Run {
      ScratchDir dir;
      std::string a, b, out;
      pid_t pid = -1;
      int fd = -1;
    };
    std::vector<Run> runs(kAtOnce);
    for (Run& run : runs) {
      run.a = WriteCharacter(run.dir, "A", {{"datac2", {"{COUNT50++}a"}}});
      run.b = WriteCharacter(run.dir, "B", {{"datac2", {"{COUNT50++}b"}}});
      int pipe_fds[2];
      ASSERT_EQ(pipe(pipe_fds), 0);
      std::vector<std::string> args = {PARLEVO_CLI, "converse", "--interval", "0", run.a, run.b};
      std::vector<char*> argv;
      for (std::string& arg : args) argv.push_back(arg.data());
      argv.push_back(nullptr);
      run.pid = fork();
      if (run.pid == 0) {
        dup2(pipe_fds[1], 1);
        close(pipe_fds[0]);
        close(pipe_fds[1]);
        execv(PARLEVO_CLI, argv.data());
        _exit(127);
      }
      close(pipe_fds[1]);
      run.fd = pipe_fds[0];
      fcntl(run.fd, F_SETFL, O_NONBLOCK);
    }
    // Reads what each run has written so far; true once all have closed.
    auto drain = [&runs] {
      bool all_closed = true;
      for (Run& run : runs) {
        if (run.fd < 0) continue;
        char buffer[65536];
        const ssize_t n = read(run.fd, buffer, sizeof buffer);
        if (n > 0) run.out.append(buffer, static_cast<size_t>(n));
        if (n == 0) {
          close(run.fd);
          run.fd = -1;
        } else {
          all_closed = false;
        }
      }
      return all_closed;
    };
    for (Run& run : runs) {
      const auto moment =
          std::chrono::steady_clock::now() + std::chrono::milliseconds(1 + random() % 150);
      while (std::chrono::steady_clock::now() < moment) {
        drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      kill(run.pid, SIGINT);
    }
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!drain() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    for (Run& run : runs) {
      int status = 0;
      ASSERT_EQ(waitpid(run.pid, &status, 0), run.pid);
      const std::vector<std::string> lines = SplitLines(run.out);
      if (WIFSIGNALED(status)) {
        // Only before the program could take the signal over.
        EXPECT_EQ(WTERMSIG(status), SIGINT);
        EXPECT_TRUE(run.out.empty());
        continue;
      }
      EXPECT_EQ(WEXITSTATUS(status), 0);
      EXPECT_TRUE(run.out.empty() || run.out.back() == '\n') << "a line was cut";
      // The opening answers from kind 0 data only, which these lack.
      int said_a = 0, said_b = 0;
      for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i], i == 0 ? "A > " : i % 2 == 0 ? "A > a" : "B > b");
        if (i > 0) ++(i % 2 == 0 ? said_a : said_b);
      }
      EXPECT_EQ(TCharacter(run.a).Count(50), said_a);
      EXPECT_EQ(TCharacter(run.b).Count(50), said_b);
    }
  }
}

}  // namespace
}  // namespace parlevo
