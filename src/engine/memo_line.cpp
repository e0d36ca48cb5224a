// The saved form of a memo and its length, which the memo cap is measured on.
#include "engine/memo_line.h"

#include "platform/codepage.h"

namespace parlevo {
namespace {

// Calls `emit` with each piece of the saved form, in order.
template <typename Emit>
void ForEachSavedPiece(std::string_view memo, Emit emit) {
  for (size_t i = 0; i < memo.size(); ++i) {
    const char c = memo[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < memo.size() && memo[i + 1] == '\n') ++i;
      emit(std::string_view("{BR}"));
    } else if (static_cast<unsigned char>(c) < 32) {
      emit(std::string_view(" "));
    } else {
      emit(memo.substr(i, 1));
    }
  }
}

}  // namespace

std::string MemoLine(std::string_view memo) {
  std::string line;
  line.reserve(memo.size());
  ForEachSavedPiece(memo, [&](std::string_view piece) { line += piece; });
  return line;
}

size_t MemoLineLength(std::string_view memo) {
  size_t length = 0;
  ForEachSavedPiece(memo, [&](std::string_view piece) { length += piece.size(); });
  return length;
}

std::string CapMemoLine(std::string_view line) {
  if (line.size() <= kMaxMemoBytes) return std::string(line);
  size_t end = 0;
  while (end < line.size()) {
    const size_t next = end + platform::CharLengthAt(line, end);
    if (next > kMaxMemoBytes) break;
    end = next;
  }
  return std::string(line.substr(0, end));
}

}  // namespace parlevo
