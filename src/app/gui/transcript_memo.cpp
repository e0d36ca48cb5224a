// The transcript memo: inserting on top, taking the bottom line, and the size
// of its text in code-page bytes.
#include "app/gui/transcript_memo.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "app/gui/ansi_text.h"

namespace parlevo::gui {

TranscriptMemo::TranscriptMemo(QWidget* parent) : QPlainTextEdit(parent) {
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // A conversation may run for hours at full speed: an undo history of every
  // inserted and moved line would grow without bound.
  setUndoRedoEnabled(false);
}

int TranscriptMemo::LineCount() const {
  const QTextDocument* doc = document();
  int count = doc->blockCount();
  if (doc->lastBlock().text().isEmpty()) --count;
  return count;
}

QStringList TranscriptMemo::Lines() const {
  QStringList lines;
  const int count = LineCount();
  QTextBlock block = document()->firstBlock();
  for (int i = 0; i < count; ++i, block = block.next()) lines << block.text();
  return lines;
}

void TranscriptMemo::InsertFirstLine(const QString& line) {
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::Start);
  cursor.insertText(LineCount() == 0 ? line : line + QChar('\n'));
}

QString TranscriptMemo::TakeLastLine() {
  const int count = LineCount();
  if (count == 0) return {};
  const QTextBlock last = document()->findBlockByNumber(count - 1);
  const QString text = last.text();
  QTextCursor cursor(document());
  if (count == 1) {
    // The only line: remove it with the line break after it, if any.
    cursor.setPosition(0);
    cursor.setPosition(
        last.next().isValid() ? last.next().position() : last.position() + last.length() - 1,
        QTextCursor::KeepAnchor);
  } else {
    // Remove the line break before it together with the line.
    cursor.setPosition(last.previous().position() + last.previous().length() - 1);
    cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
  }
  cursor.removeSelectedText();
  return text;
}

size_t TranscriptMemo::AnsiSize() const {
  size_t size = 0;
  const int count = LineCount();
  QTextBlock block = document()->firstBlock();
  for (int i = 0; i < count; ++i, block = block.next()) {
    size += QStringToAnsi(block.text()).size() + 2;
  }
  return size;
}

}  // namespace parlevo::gui
