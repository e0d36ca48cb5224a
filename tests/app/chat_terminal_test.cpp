// `parlevo-cli chat` on a terminal: run under a pseudo-terminal, it shows a
// prompt, lets the line be edited and recalled, prints no echo line of its
// own, and ends on Ctrl-C or Ctrl-D with the state file saved.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "common/run_cli.h"
#include "common/scratch_dir.h"
#include "platform/codepage.h"

namespace parlevo {
namespace {

using test::ScratchDir;

constexpr auto kPatience = std::chrono::seconds(30);
constexpr char kPrompt[] = "たろう > ";

class TerminalChat {
 public:
  explicit TerminalChat(const std::vector<std::string>& args) {
    pid_ = forkpty(&terminal_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      setenv("LANG", "C.UTF-8", 1);
      setenv("TERM", "xterm", 1);
      std::vector<char*> argv = {const_cast<char*>("parlevo-cli")};
      for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      execv(PARLEVO_CLI, argv.data());
      _exit(127);
    }
  }
  ~TerminalChat() {
    if (pid_ > 0 && !waited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (terminal_ >= 0) close(terminal_);
  }

  bool Started() const { return pid_ > 0; }
  void Type(const std::string& keys) {
    ASSERT_EQ(write(terminal_, keys.data(), keys.size()), ssize_t(keys.size()));
  }

  // What the terminal shows until `part` appears (inclusive), or all it
  // showed when it did not appear in time.
  std::string ReadUntil(const std::string& part) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (shown_.find(part) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
      pollfd fd{terminal_, POLLIN, 0};
      if (poll(&fd, 1, 100) <= 0) continue;
      char buffer[512];
      const ssize_t n = read(terminal_, buffer, sizeof buffer);
      if (n <= 0) break;
      shown_.append(buffer, static_cast<size_t>(n));
    }
    const size_t end = shown_.find(part);
    const size_t cut = end == std::string::npos ? shown_.size() : end + part.size();
    std::string seen = shown_.substr(0, cut);
    shown_.erase(0, cut);
    return seen;
  }

  // The exit status, once the program ended (-1 if it did not in time).
  int Wait() {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        waited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      // Take what it shows, so it never blocks on its output.
      pollfd fd{terminal_, POLLIN, 0};
      char buffer[512];
      if (poll(&fd, 1, 50) > 0 && read(terminal_, buffer, sizeof buffer) <= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
    return -1;
  }

 private:
  int terminal_ = -1;
  pid_t pid_ = -1;
  bool waited_ = false;
  std::string shown_;
};

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::string WriteBakery(const ScratchDir& dir) {
  auto sjis = [](const std::string& utf8) { return platform::Utf8ToAnsi(utf8); };
  dir.WriteBytes("k/b.txt", sjis("こんにちは,いらっしゃいませ\r\n"));
  dir.WriteBytes("k/c.txt", sjis("{COUNT50++}はい\r\n"));
  return dir.WriteBytes("k.ltc", sjis("name\r\nこむぎ\r\nversion\r\n210\r\nfolder\r\nk\r\n"
                                      "datab2\r\nb.txt\r\ndatac2\r\nc.txt\r\n"));
}

// The prompt is written just before the editor puts the terminal in its own
// mode; a control key typed in between is taken by the line discipline, so
// give the editor a moment (no timing is measured).
void SettleAtPrompt() { std::this_thread::sleep_for(std::chrono::milliseconds(300)); }

TEST(ChatTerminal, PromptsEditsRecallsAndEndsOnControlCWithTheStateSaved) {
  ScratchDir dir;
  const std::string base = WriteBakery(dir);
  TerminalChat chat({"chat", "--partner", "たろう", base});
  ASSERT_TRUE(chat.Started());
  chat.ReadUntil(kPrompt);
  chat.Type("こんにちわ\x7f");  // a typing error, taken back
  chat.Type("は\r");
  std::string shown = chat.ReadUntil(kPrompt);
  EXPECT_NE(shown.find("こむぎ > いらっしゃいませ"), std::string::npos) << shown;
  EXPECT_EQ(Count(shown, "たろう > "), 1u) << "no echo line: " << shown;
  chat.Type("\x10\r");  // Ctrl-P brings the last line back
  shown = chat.ReadUntil(kPrompt);
  EXPECT_NE(shown.find("いらっしゃいませ"), std::string::npos) << shown;
  chat.Type("x\r");  // free talk counts in slot 50, which is kept
  chat.ReadUntil("こむぎ > はい");
  chat.ReadUntil(kPrompt);
  SettleAtPrompt();
  chat.Type("\x03");
  EXPECT_EQ(chat.Wait(), 0);
  EXPECT_EQ(test::RunParlevoCli({"expand", "--character", base, "{COUNT50}"}).out, "1\n")
      << "the state file was saved";

  // Ctrl-D on an empty line ends it the same way.
  TerminalChat again({"chat", "--partner", "たろう", base});
  again.ReadUntil(kPrompt);
  again.Type("x\r");
  again.ReadUntil("こむぎ > はい");
  again.ReadUntil(kPrompt);
  SettleAtPrompt();
  again.Type("\x04");
  EXPECT_EQ(again.Wait(), 0);
  EXPECT_EQ(test::RunParlevoCli({"expand", "--character", base, "{COUNT50}"}).out, "2\n");
}

}  // namespace
}  // namespace parlevo
