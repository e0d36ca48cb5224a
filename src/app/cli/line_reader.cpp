// The two ways `chat` reads lines. The editor is libedit's native interface:
// Ctrl-C is made an ordinary key bound to "end of file" while a line is
// edited, so ending a chat never depends on signal delivery and the caller
// saves the character's state as at any other end of input.
#include "app/cli/line_reader.h"

#include <unistd.h>

#include <clocale>
#include <cstring>
#include <iostream>

#ifdef PARLEVO_HAVE_LIBEDIT
#include <histedit.h>
#endif

namespace parlevo::cli {
namespace {

// kTooLong (and `line` emptied) when the line, its end removed, is over the
// bound or was `cut` short at it.
TLineRead Bounded(std::string& line, bool cut) {
  if (cut || line.size() > kMaxInputLineBytes) {
    line.clear();
    return TLineRead::kTooLong;
  }
  return TLineRead::kLine;
}

// Lines from a pipe or file, exactly as they come (a CR before the LF too is
// removed, for files written on Windows). A line is kept up to the bound and
// the rest of a longer one read past, so it never grows beyond it.
class PipeReader : public LineReader {
 public:
  TLineRead ReadLine(std::string& line) override {
    line.clear();
    std::streambuf& in = *std::cin.rdbuf();
    bool any = false;
    bool cut = false;
    for (int c = in.sbumpc(); c != std::char_traits<char>::eof(); c = in.sbumpc()) {
      any = true;
      if (c == '\n') break;
      if (line.size() <= kMaxInputLineBytes) {  // one byte over: a CR may still go
        line += static_cast<char>(c);
      } else {
        cut = true;
      }
    }
    if (!any) return TLineRead::kEnd;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return Bounded(line, cut);
  }
  bool ShowsInput() const override { return false; }
};

#ifdef PARLEVO_HAVE_LIBEDIT

// How many typed lines the history keeps.
constexpr int kHistoryLines = 500;

class EditLineReader : public LineReader {
 public:
  explicit EditLineReader(std::string prompt) : prompt_(std::move(prompt)) {
    history_ = history_init();
    HistEvent event;
    history(history_, &event, H_SETSIZE, kHistoryLines);
    editor_ = el_init("parlevo-cli", stdin, stdout, stderr);
    el_set(editor_, EL_CLIENTDATA, this);
    el_set(editor_, EL_PROMPT, &EditLineReader::Prompt);
    el_set(editor_, EL_EDITOR, "emacs");
    el_set(editor_, EL_HIST, history, history_);
    // Ctrl-C reaches the editor as a key instead of a signal, and ends
    // the input as Ctrl-D does.
    el_set(editor_, EL_SETTY, "-d", "-isig", nullptr);
    el_set(editor_, EL_BIND, "^C", "ed-end-of-file", nullptr);
    el_source(editor_, nullptr);  // the user's ~/.editrc, as other programs read it
  }
  ~EditLineReader() override {
    el_end(editor_);
    history_end(history_);
  }
  EditLineReader(const EditLineReader&) = delete;
  EditLineReader& operator=(const EditLineReader&) = delete;

  TLineRead ReadLine(std::string& line) override {
    int count = 0;
    const char* got = el_gets(editor_, &count);
    if (got == nullptr || count <= 0) {
      std::fputs("\n", stdout);  // leave the prompt's line
      return TLineRead::kEnd;
    }
    line.assign(got, static_cast<size_t>(count));
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    const TLineRead read = Bounded(line, false);
    if (!line.empty()) {
      HistEvent event;
      history(history_, &event, H_ENTER, line.c_str());
    }
    return read;
  }
  bool ShowsInput() const override { return true; }

 private:
  static char* Prompt(EditLine* editor) {
    void* data = nullptr;
    el_get(editor, EL_CLIENTDATA, &data);
    return const_cast<char*>(static_cast<EditLineReader*>(data)->prompt_.c_str());
  }

  std::string prompt_;
  History* history_ = nullptr;
  EditLine* editor_ = nullptr;
};

// The editor decodes keys by the locale: make it UTF-8, the terminal's text.
bool UseUtf8Locale() {
  const char* locale = std::setlocale(LC_CTYPE, "");
  if (locale != nullptr && (std::strstr(locale, "UTF-8") || std::strstr(locale, "utf8"))) {
    return true;
  }
  return std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
}

#endif  // PARLEVO_HAVE_LIBEDIT

}  // namespace

std::unique_ptr<LineReader> LineReader::ForStandardInput(const std::string& prompt) {
#ifdef PARLEVO_HAVE_LIBEDIT
  if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO) && UseUtf8Locale()) {
    return std::make_unique<EditLineReader>(prompt);
  }
#else
  (void)prompt;
#endif
  return std::make_unique<PipeReader>();
}

}  // namespace parlevo::cli
