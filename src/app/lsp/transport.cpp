// Content-Length framing over file descriptors. A header that cannot be read
// is reported as a problem and the reader goes on with what follows, so a
// client's slip never ends the server.
#include "app/lsp/transport.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>

namespace parlevo::lsp {
namespace {

constexpr size_t kChunk = 65536;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

// Where `lower` (lower case) stands in `text`, letter case aside.
size_t FindNoCase(std::string_view text, std::string_view lower) {
  const auto found =
      std::search(text.begin(), text.end(), lower.begin(), lower.end(),
                  [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
  return found == text.end() ? std::string::npos : static_cast<size_t>(found - text.begin());
}

std::optional<size_t> ContentLength(std::string_view line) {
  constexpr std::string_view kName = "content-length:";
  if (!StartsWithNoCase(line, kName)) return std::nullopt;
  std::string_view value = line.substr(kName.size());
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  size_t length = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
  if (error != std::errc() || end != value.data() + value.size()) return std::nullopt;
  return length;
}

}  // namespace

bool TReader::Fill() {
  if (ended_) return false;
  if (at_ > 0 && at_ == buffer_.size()) {
    buffer_.clear();
    at_ = 0;
  }
  char chunk[kChunk];
  for (;;) {
    const ssize_t n = ::read(fd_, chunk, sizeof chunk);
    if (n > 0) {
      buffer_.append(chunk, static_cast<size_t>(n));
      return true;
    }
    if (n < 0 && errno == EINTR) continue;
    ended_ = true;
    return false;
  }
}

bool TReader::Ready() {
  if (at_ < buffer_.size()) return true;
  pollfd fd{fd_, POLLIN, 0};
  return ::poll(&fd, 1, 0) > 0;
}

// One header line without its CR LF (a bare LF is taken too); nothing at
// the end of input. A line over the budget is returned cut, to be refused.
std::optional<std::string> TReader::HeaderLine() {
  for (;;) {
    const size_t end = buffer_.find('\n', at_);
    if (end != std::string::npos) {
      std::string line = buffer_.substr(at_, end - at_);
      at_ = end + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    if (buffer_.size() - at_ > kMaxHeaderLineBytes) {
      std::string line = buffer_.substr(at_, kMaxHeaderLineBytes);
      at_ = buffer_.size();
      return line;
    }
    if (!Fill()) return std::nullopt;
  }
}

bool TReader::Skip(size_t bytes) {
  while (bytes > 0) {
    if (at_ == buffer_.size() && !Fill()) return false;
    const size_t taken = std::min(bytes, buffer_.size() - at_);
    at_ += taken;
    bytes -= taken;
  }
  return true;
}

std::optional<TIncoming> TReader::Next() {
  std::optional<size_t> length;
  bool bad_header = false;
  for (;;) {
    std::optional<std::string> line = HeaderLine();
    if (!line) return std::nullopt;
    if (line->empty()) {
      if (length || bad_header) break;
      continue;  // blank lines between messages
    }
    if (line->size() >= kMaxHeaderLineBytes) bad_header = true;
    // After a message whose length could not be read, its body runs into
    // the next header: resynchronise on the field's name.
    const size_t field = FindNoCase(*line, "content-length:");
    if (field != std::string::npos && field > 0) line->erase(0, field);
    if (const std::optional<size_t> value = ContentLength(*line)) {
      length = value;
    } else if (StartsWithNoCase(*line, "content-length")) {
      bad_header = true;
    } else if (line->find(':') == std::string::npos) {
      bad_header = true;  // not a header field at all
    }
  }
  if (!length) return TIncoming{{}, "a message without a valid Content-Length header"};
  if (*length > kMaxMessageBytes) {
    if (!Skip(*length)) return std::nullopt;
    return TIncoming{{},
                     "a message of " + std::to_string(*length) + " bytes, over the budget of " +
                         std::to_string(kMaxMessageBytes >> 20) + " MiB"};
  }
  while (buffer_.size() - at_ < *length) {
    if (!Fill()) return std::nullopt;
  }
  TIncoming message{buffer_.substr(at_, *length), {}};
  at_ += *length;
  if (at_ == buffer_.size()) {
    buffer_.clear();
    at_ = 0;
  }
  return message;
}

bool WriteMessage(int fd, std::string_view body) {
  std::string message = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  message += body;
  std::string_view rest = message;
  while (!rest.empty()) {
    const ssize_t n = ::write(fd, rest.data(), rest.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    rest.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace parlevo::lsp
