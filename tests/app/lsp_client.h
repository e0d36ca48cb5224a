// A language server client for tests: runs `parlevo-cli lsp` with pipes on
// its standard input and output, sends messages and reads them back framed.
#ifndef PARLEVO_TESTS_APP_LSP_CLIENT_H_
#define PARLEVO_TESTS_APP_LSP_CLIENT_H_

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

namespace parlevo::test {

class LspClient {
 public:
  using Json = nlohmann::json;

  LspClient() {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) throw std::runtime_error("pipe failed");
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], STDIN_FILENO);
      dup2(out[1], STDOUT_FILENO);
      close(in[0]), close(in[1]), close(out[0]), close(out[1]);
      execl(PARLEVO_CLI, PARLEVO_CLI, "lsp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(in[0]), close(out[1]);
    to_ = in[1];
    from_ = out[0];
    signal(SIGPIPE, SIG_IGN);
  }
  ~LspClient() {
    CloseInput();
    if (from_ >= 0) close(from_);
    if (pid_ > 0 && status_ < 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  LspClient(const LspClient&) = delete;
  LspClient& operator=(const LspClient&) = delete;

  // Sends bytes as they are: a framed message or deliberate garbage.
  void SendRaw(const std::string& bytes) {
    for (size_t at = 0; at < bytes.size();) {
      const ssize_t n = write(to_, bytes.data() + at, bytes.size() - at);
      if (n <= 0) throw std::runtime_error("the server stopped reading");
      at += static_cast<size_t>(n);
    }
  }
  void SendBody(const std::string& body) {
    SendRaw("Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  }
  void Notify(const std::string& method, Json params) {
    SendBody(Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}}.dump());
  }
  // Sends a request and returns its answer, passing over notifications.
  Json Request(const std::string& method, Json params) {
    const int id = ++last_id_;
    SendBody(Json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}}
                 .dump());
    return Await([id](const Json& m) { return m.contains("id") && m["id"] == id; });
  }
  // The next message that satisfies `wanted`; throws after the patience runs out.
  Json Await(const std::function<bool(const Json&)>& wanted) {
    for (;;) {
      Json message = Json::parse(ReadBody());
      if (wanted(message)) return message;
    }
  }
  // How long a message may take (a document at the budget, in a slow build).
  int patience_ms = 30000;

  void CloseInput() {
    if (to_ >= 0) close(to_);
    to_ = -1;
  }
  // Waits for the server to end and returns its exit status (-1: it did not).
  int Wait() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < until) {
      int raw = 0;
      if (waitpid(pid_, &raw, WNOHANG) == pid_)
        return status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128;
      usleep(10000);
    }
    return -1;
  }

 private:
  char ReadByte() {
    if (at_ == buffer_.size()) {
      buffer_.clear();
      at_ = 0;
      pollfd fd{from_, POLLIN, 0};
      if (poll(&fd, 1, patience_ms) <= 0) throw std::runtime_error("no message in time");
      char chunk[65536];
      const ssize_t n = read(from_, chunk, sizeof chunk);
      if (n <= 0) throw std::runtime_error("the server's output ended");
      buffer_.assign(chunk, static_cast<size_t>(n));
    }
    return buffer_[at_++];
  }
  std::string ReadBody() {
    size_t length = 0;
    for (std::string line;;) {
      const char c = ReadByte();
      if (c != '\n') {
        line += c;
        continue;
      }
      if (line == "\r") break;
      if (line.rfind("Content-Length: ", 0) == 0) length = std::stoul(line.substr(16));
      line.clear();
    }
    std::string body;
    while (body.size() < length) body += ReadByte();
    return body;
  }

  pid_t pid_ = -1;
  int to_ = -1, from_ = -1;
  int last_id_ = 0;
  int status_ = -1;
  std::string buffer_;
  size_t at_ = 0;
};

}  // namespace parlevo::test

#endif  // PARLEVO_TESTS_APP_LSP_CLIENT_H_
