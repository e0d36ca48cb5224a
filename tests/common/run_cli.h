// Runs parlevo-cli as a user does, with a text on standard input, and keeps
// its exit status, standard output and standard error.
#ifndef PARLEVO_TESTS_COMMON_RUN_CLI_H_
#define PARLEVO_TESTS_COMMON_RUN_CLI_H_

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "common/scratch_dir.h"

namespace parlevo::test {

// The lines of `text`, without their line ends.
inline std::vector<std::string> SplitOutputLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
  std::vector<std::string> OutLines() const { return SplitOutputLines(out); }
};

inline std::string ShellQuote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs PARLEVO_CLI with `args`, `input` on standard input.
inline CliResult RunParlevoCli(const std::vector<std::string>& args,
                               const std::string& input = "") {
  ScratchDir io("parlevo-cli-io");
  io.WriteBytes("in", input);
  std::string command = ShellQuote(PARLEVO_CLI);
  for (const std::string& arg : args) command += " " + ShellQuote(arg);
  command += " <" + ShellQuote(io.File("in")) + " >" + ShellQuote(io.File("out")) + " 2>" +
             ShellQuote(io.File("err"));
  const int raw = std::system(("bash -c " + ShellQuote(command)).c_str());
  CliResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = io.Read("out");
  result.err = io.Read("err");
  return result;
}

// Runs the bash command line `command` with `input` on standard input.
// Standard output goes through a pipe, so a file size limit the command sets
// applies to the files a program writes and not to its output.
inline CliResult RunShell(const std::string& command, const std::string& input = "") {
  ScratchDir io("parlevo-cli-io");
  io.WriteBytes("in", input);
  const std::string full = "( " + command + " ) <" + ShellQuote(io.File("in")) + " 2>" +
                           ShellQuote(io.File("err")) + " | cat >" + ShellQuote(io.File("out")) +
                           "; exit ${PIPESTATUS[0]}";
  const int raw = std::system(("bash -c " + ShellQuote(full)).c_str());
  CliResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = io.Read("out");
  result.err = io.Read("err");
  return result;
}

// Runs PARLEVO_CLI with `args` after `prefix` (a folder to change to, a limit
// to set), in the program's own subshell.
inline CliResult RunParlevoCliAfter(const std::string& prefix, const std::vector<std::string>& args,
                                    const std::string& input = "") {
  std::string command = prefix + " exec " + ShellQuote(PARLEVO_CLI);
  for (const std::string& arg : args) command += " " + ShellQuote(arg);
  return RunShell(command, input);
}

}  // namespace parlevo::test

#endif  // PARLEVO_TESTS_COMMON_RUN_CLI_H_
