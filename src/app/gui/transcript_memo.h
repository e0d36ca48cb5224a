// The memo that shows the transcript, newest line on top: an editable plain
// text view whose lines are counted as ANSI text of the process code page.
#ifndef PARLEVO_APP_GUI_TRANSCRIPT_MEMO_H_
#define PARLEVO_APP_GUI_TRANSCRIPT_MEMO_H_

#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <cstddef>

namespace parlevo::gui {

// Lines are the text's paragraphs; an empty last paragraph (the text ends in
// a line break, or the memo is empty) is not a line.
class TranscriptMemo final : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit TranscriptMemo(QWidget* parent = nullptr);

  int LineCount() const;
  QStringList Lines() const;  // top to bottom

  void InsertFirstLine(const QString& line);
  // Removes the bottom line and returns it; "" when there is none.
  QString TakeLastLine();

  // Bytes of the whole text in the process code page, each line followed by
  // CR LF (a double-byte character counts two).
  size_t AnsiSize() const;
};

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_TRANSCRIPT_MEMO_H_
