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

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
  std::vector<std::string> OutLines() const {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
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

}  // namespace parlevo::test

#endif  // PARLEVO_TESTS_COMMON_RUN_CLI_H_
