// The transcript memo: inserting on top, taking the bottom line, and the
// running size of its text in code-page bytes.
#include "app/gui/transcript_memo.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QWheelEvent>
#include <algorithm>
#include <optional>
#include <utility>

#include "app/gui/ansi_text.h"

namespace parlevo::gui {
namespace {

// Text sizes the zoom keeps within, in steps from the starting size.
constexpr int kMinZoom = -6;
constexpr int kMaxZoom = 24;

// A line's provenance, kept in its text block: it goes when the line goes.
struct SourceData final : public QTextBlockUserData {
  explicit SourceData(LineProvenance from) : source(std::move(from)) {}
  LineProvenance source;
};

SourceData* SourceDataOf(const QTextBlock& block) {
  return dynamic_cast<SourceData*>(block.userData());
}

const LineProvenance* SourceOfBlock(const QTextBlock& block) {
  const SourceData* data = SourceDataOf(block);
  return data ? &data->source : nullptr;
}

// One line in the code page plus its CR LF.
size_t LineAnsiSize(const QString& line) { return QStringToAnsi(line).size() + 2; }

}  // namespace

TranscriptMemo::TranscriptMemo(QWidget* parent) : QPlainTextEdit(parent) {
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // A conversation may run for hours at full speed: an undo history of every
  // inserted and moved line would grow without bound.
  setUndoRedoEnabled(false);
  // The transcript is what the log keeps: selectable and copyable only.
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  viewport()->setMouseTracking(true);  // hovering a line shows its source
  // Only the reader's moves: lines put on top move the cursor too.
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
    if (!own_edit_) emit sourcePointed(SourceOfBlock(textCursor().block()));
  });
  connect(document(), &QTextDocument::contentsChanged, this, &TranscriptMemo::OnContentsChange);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TranscriptMemo::OnScrolled);
  base_point_size_ = font().pointSize() > 0 ? font().pointSize() : 9;
}

bool TranscriptMemo::ScrolledAway() const { return verticalScrollBar()->value() > 0; }

void TranscriptMemo::ScrollToNewest() {
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
}

void TranscriptMemo::OnScrolled(int value) {
  if (value == 0 && new_lines_unseen_) {
    new_lines_unseen_ = false;
    emit unseenChanged(false);
  }
}

void TranscriptMemo::SetZoom(int steps) {
  steps = std::clamp(steps, kMinZoom, kMaxZoom);
  if (steps == zoom_) return;
  zoom_ = steps;
  QFont sized = font();
  sized.setPointSize(base_point_size_ + steps);
  setFont(sized);
  emit zoomChanged(zoom_);
}

void TranscriptMemo::wheelEvent(QWheelEvent* event) {
  if (event->modifiers() & Qt::ControlModifier) {
    const int delta = event->angleDelta().y();
    if (delta != 0) SetZoom(zoom_ + (delta > 0 ? 1 : -1));
    event->accept();
    return;
  }
  QPlainTextEdit::wheelEvent(event);
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

void TranscriptMemo::InsertFirstLine(const QString& line, const LineProvenance* source) {
  // The vertical scroll bar counts lines: one more on top moves the lines
  // in view down by one, so a reader scrolled away gets moved along.
  const int scrolled = verticalScrollBar()->value();
  const bool had_lines = LineCount() > 0;
  const bool idle_cursor_on_top =
      scrolled == 0 && !textCursor().hasSelection() && textCursor().position() == 0;
  // The line break splits the first block, and its data stays with the
  // part before the break, the new line: hand it on to the old line.
  std::optional<LineProvenance> moved;
  if (SourceData* old_source = SourceDataOf(document()->firstBlock())) {
    moved = std::move(old_source->source);
  }
  own_edit_ = true;
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::Start);
  cursor.insertText(had_lines ? line + QChar('\n') : line);
  own_edit_ = false;
  QTextBlock first = document()->firstBlock();
  if (moved) first.next().setUserData(new SourceData(std::move(*moved)));
  first.setUserData(source != nullptr ? new SourceData(*source) : nullptr);
  // Text put where the cursor stands pushes it along, so an idle cursor
  // would end on the oldest line and the next relayout (a zoom, the focus)
  // would scroll down to it. A reader following the top keeps it there.
  if (idle_cursor_on_top) PutReaderCursorOnTop();
  ansi_size_ += LineAnsiSize(line);
  if (scrolled > 0) {
    verticalScrollBar()->setValue(scrolled + 1);
    if (!new_lines_unseen_) {
      new_lines_unseen_ = true;
      emit unseenChanged(true);
    }
  }
}

void TranscriptMemo::PutReaderCursorOnTop() {
  QTextCursor reader = textCursor();
  reader.setPosition(0);
  own_edit_ = true;
  setTextCursor(reader);
  own_edit_ = false;
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
  own_edit_ = true;
  cursor.removeSelectedText();
  own_edit_ = false;
  ansi_size_ -= LineAnsiSize(text);
  return text;
}

const LineProvenance* TranscriptMemo::SourceOf(int index) const {
  return SourceOfBlock(document()->findBlockByNumber(index));
}

const LineProvenance* TranscriptMemo::SourceAt(const QPoint& position) const {
  return SourceOfBlock(cursorForPosition(position).block());
}

void TranscriptMemo::mouseMoveEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseMoveEvent(event);
  emit sourcePointed(SourceAt(event->position().toPoint()));
}

QMenu* TranscriptMemo::CreateLineMenu(const QPoint& position) {
  QMenu* menu = createStandardContextMenu(position);
  const LineProvenance* source = SourceAt(position);
  if (source == nullptr || !source->has_value()) return menu;
  menu->addSeparator();
  const QString file_line = FileLineText(*source);
  QAction* copy = menu->addAction(tr("%1 をコピー").arg(file_line));
  copy->setObjectName(QStringLiteral("CopyFileLine"));
  connect(copy, &QAction::triggered, this,
          [file_line] { QGuiApplication::clipboard()->setText(file_line); });
  QAction* open = menu->addAction(tr("データファイルを開く"));
  open->setObjectName(QStringLiteral("OpenDataFile"));
  const QString path = DataFilePath(*source);
  connect(open, &QAction::triggered, this, [this, path] { emit openFileRequested(path); });
  return menu;
}

void TranscriptMemo::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = CreateLineMenu(event->pos());
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

void TranscriptMemo::OnContentsChange() {
  if (!own_edit_) ansi_size_ = MeasureAnsiSize();
}

size_t TranscriptMemo::MeasureAnsiSize() const {
  size_t size = 0;
  for (const QString& line : Lines()) size += LineAnsiSize(line);
  return size;
}

}  // namespace parlevo::gui
