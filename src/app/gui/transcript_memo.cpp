// The transcript memo: adding at the newest end in either order, taking the
// oldest line, the rules between conversations, the speakers' colours, and
// the running size of its text in code-page bytes.
#include "app/gui/transcript_memo.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "app/gui/ansi_text.h"
#include "app/gui/speaker_colours.h"

namespace parlevo::gui {

// What the memo keeps beside each block: a rule, or a line with its speaker
// and, when a character said it, where it came from.
struct TranscriptMemo::Entry {
  bool rule = false;
  int speaker = kNoSpeaker;
  std::optional<LineProvenance> source;
};

namespace {

// Text sizes the zoom keeps within, in steps from the starting size.
constexpr int kMinZoom = -6;
constexpr int kMaxZoom = 24;

// An entry kept in its text block: it goes when the line goes.
template <typename Entry>
struct BlockData final : public QTextBlockUserData {
  explicit BlockData(Entry from) : entry(std::move(from)) {}
  Entry entry;
};

using Data = BlockData<TranscriptMemo::Entry>;

const TranscriptMemo::Entry* EntryOf(const QTextBlock& block) {
  const auto* data = dynamic_cast<const Data*>(block.userData());
  return data ? &data->entry : nullptr;
}

bool IsRule(const QTextBlock& block) {
  const TranscriptMemo::Entry* entry = EntryOf(block);
  return entry != nullptr && entry->rule;
}

const LineProvenance* SourceOfBlock(const QTextBlock& block) {
  const TranscriptMemo::Entry* entry = EntryOf(block);
  return entry && entry->source ? &*entry->source : nullptr;
}

void SetEntry(QTextBlock block, const std::optional<TranscriptMemo::Entry>& entry) {
  block.setUserData(entry ? new Data(*entry) : nullptr);
}

std::optional<TranscriptMemo::Entry> CopyEntry(const QTextBlock& block) {
  const TranscriptMemo::Entry* entry = EntryOf(block);
  return entry ? std::optional(*entry) : std::nullopt;
}

// One line in the code page plus its CR LF.
size_t LineAnsiSize(const QString& line) { return QStringToAnsi(line).size() + 2; }

// How many rows of the view a block takes once wrapped (1 before layout).
int RowsOf(const QTextBlock& block) { return std::max(1, block.lineCount()); }

}  // namespace

TranscriptMemo::TranscriptMemo(QWidget* parent) : QPlainTextEdit(parent) {
  // Long lines wrap at the window's edge, at a word or anywhere in Japanese.
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // A conversation may run for hours at full speed: an undo history of every
  // inserted and moved line would grow without bound.
  setUndoRedoEnabled(false);
  // The transcript is what the log keeps: selectable and copyable only.
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  viewport()->setMouseTracking(true);  // hovering a line shows its source
  // Only the reader's moves: lines added move the cursor too.
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
    if (own_edit_) return;
    emit sourcePointed(SourceOfBlock(textCursor().block()));
    OnScrolled();  // Ctrl+Home or Ctrl+End may not move the view at all
  });
  connect(document(), &QTextDocument::contentsChanged, this, &TranscriptMemo::OnContentsChange);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TranscriptMemo::OnScrolled);
  connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, &TranscriptMemo::OnScrolled);
  base_point_size_ = font().pointSize() > 0 ? font().pointSize() : 9;
}

// ---------------------------------------------------------------------------
// The view
// ---------------------------------------------------------------------------

bool TranscriptMemo::ScrolledAway() const {
  const QScrollBar* bar = verticalScrollBar();
  return newest_at_bottom_ ? bar->value() < bar->maximum() : bar->value() > 0;
}

QString TranscriptMemo::NewestKey() const {
  return newest_at_bottom_ ? QStringLiteral("Ctrl+End") : QStringLiteral("Ctrl+Home");
}

void TranscriptMemo::ScrollToNewest() {
  QScrollBar* bar = verticalScrollBar();
  bar->setValue(newest_at_bottom_ ? bar->maximum() : 0);
  horizontalScrollBar()->setValue(0);
}

void TranscriptMemo::OnScrolled() {
  if (new_lines_unseen_ && !ScrolledAway()) {
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

void TranscriptMemo::SetNewestAtBottom(bool at_bottom) {
  if (at_bottom == newest_at_bottom_) return;
  // The blocks oldest first, then shown again in the new order.
  std::vector<std::pair<QString, Entry>> blocks;
  const int count = document()->isEmpty() ? 0 : document()->blockCount();
  for (int i = 0; i < count; ++i) {
    const QTextBlock block = document()->findBlockByNumber(i);
    blocks.emplace_back(block.text(), CopyEntry(block).value_or(Entry{}));
  }
  if (!newest_at_bottom_) std::reverse(blocks.begin(), blocks.end());
  own_edit_ = true;
  clear();
  own_edit_ = false;
  newest_at_bottom_ = at_bottom;
  for (const auto& [text, entry] : blocks) AddBlock(text, entry);
  ansi_size_ = MeasureAnsiSize();
  ScrollToNewest();
  PutReaderCursorAtNewest();
  OnScrolled();
}

// ---------------------------------------------------------------------------
// Lines
// ---------------------------------------------------------------------------

int TranscriptMemo::LineCount() const {
  if (document()->isEmpty()) return 0;
  int count = 0;
  for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
    if (!IsRule(block)) ++count;
  }
  return count;
}

QStringList TranscriptMemo::Lines() const {
  QStringList lines;
  if (document()->isEmpty()) return lines;
  for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
    if (!IsRule(block)) lines << block.text();
  }
  return lines;
}

QStringList TranscriptMemo::OldestFirst() const {
  QStringList lines = Lines();
  if (!newest_at_bottom_) std::reverse(lines.begin(), lines.end());
  return lines;
}

QTextBlock TranscriptMemo::LineBlock(int index) const {
  for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
    if (!IsRule(block) && index-- == 0) return block;
  }
  return {};
}

void TranscriptMemo::AddLine(const QString& line, const LineProvenance* source, int speaker) {
  Entry entry;
  entry.speaker = speaker;
  if (source != nullptr) entry.source = *source;
  AddBlock(line, entry);
  ansi_size_ += LineAnsiSize(line);
}

void TranscriptMemo::StartConversation(const QDateTime& when) {
  if (LineCount() > 0) {
    const QString date =
        QLocale(QLocale::Japanese).toString(when, QStringLiteral("yyyy/MM/dd (ddd) HH:mm"));
    AddBlock(tr("──── %1 ────").arg(date), Entry{true, kNoSpeaker, std::nullopt});
  }
  ScrollToNewest();
}

void TranscriptMemo::AddBlock(const QString& text, const Entry& entry) {
  QScrollBar* bar = verticalScrollBar();
  const int scrolled = bar->value();
  const bool away = ScrolledAway();
  const bool had_blocks = !document()->isEmpty();
  const int newest_position = newest_at_bottom_ ? document()->characterCount() - 1 : 0;
  const bool idle_cursor_at_newest =
      !away && !textCursor().hasSelection() && textCursor().position() == newest_position;
  QTextCharFormat format;
  const QColor colour = entry.rule ? palette().color(QPalette::PlaceholderText)
                                   : SpeakerColour(entry.speaker, palette().color(QPalette::Base));
  if (colour.isValid()) format.setForeground(colour);

  own_edit_ = true;
  QTextCursor cursor(document());
  QTextBlock added;
  if (newest_at_bottom_) {
    cursor.movePosition(QTextCursor::End);
    if (had_blocks) cursor.insertBlock();
    cursor.insertText(text, format);
    added = document()->lastBlock();
  } else {
    // The line break splits the first block, and its data stays with the
    // part before the break, the new line: hand it on to the old line.
    const std::optional<Entry> moved = CopyEntry(document()->firstBlock());
    cursor.insertText(had_blocks ? text + QChar('\n') : text, format);
    added = document()->firstBlock();
    if (had_blocks) SetEntry(added.next(), moved);
  }
  SetEntry(added, entry);
  own_edit_ = false;

  // Text put where the cursor stands pushes it along, so an idle cursor
  // would end away from the newest line and the next relayout (a zoom, the
  // focus) would scroll there. A reader following the newest keeps it.
  if (idle_cursor_at_newest) PutReaderCursorAtNewest();
  if (!away) {
    ScrollToNewest();
    return;
  }
  // A block more on top moves the rows in view down by its rows.
  if (!newest_at_bottom_) bar->setValue(scrolled + RowsOf(added));
  if (!new_lines_unseen_ && !entry.rule) {
    new_lines_unseen_ = true;
    emit unseenChanged(true);
  }
}

void TranscriptMemo::PutReaderCursorAtNewest() {
  QTextCursor reader = textCursor();
  reader.movePosition(newest_at_bottom_ ? QTextCursor::End : QTextCursor::Start);
  own_edit_ = true;
  setTextCursor(reader);
  own_edit_ = false;
}

QString TranscriptMemo::TakeOldestLine() {
  if (LineCount() == 0) return {};
  auto oldest = [this] {
    return newest_at_bottom_ ? document()->firstBlock() : document()->lastBlock();
  };
  QTextBlock block = oldest();
  while (IsRule(block)) block = newest_at_bottom_ ? block.next() : block.previous();
  const QString text = block.text();
  RemoveBlock(block);
  // A rule with no line beyond it separates nothing.
  while (!document()->isEmpty() && IsRule(oldest())) RemoveBlock(oldest());
  ansi_size_ -= LineAnsiSize(text);
  return text;
}

void TranscriptMemo::RemoveBlock(const QTextBlock& block) {
  QScrollBar* bar = verticalScrollBar();
  const bool away = ScrolledAway();
  const int rows = RowsOf(block);
  const int value = bar->value();
  const bool first = block.blockNumber() == 0;
  QTextCursor cursor(document());
  std::optional<Entry> kept;  // the data of the block that takes this one's place
  if (first && block.next().isValid()) {
    // Removing the break after the first block merges the second into it,
    // which keeps the first block's data: keep the second's instead.
    kept = CopyEntry(block.next());
    cursor.setPosition(block.position());
    cursor.setPosition(block.next().position(), QTextCursor::KeepAnchor);
  } else if (block.previous().isValid()) {
    cursor.setPosition(block.previous().position() + block.previous().length() - 1);
    cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
  } else {
    cursor.setPosition(block.position());
    cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
  }
  own_edit_ = true;
  cursor.removeSelectedText();
  if (first) SetEntry(document()->firstBlock(), kept);
  own_edit_ = false;
  // Rows gone above the view move what is in it up.
  if (newest_at_bottom_ && away) bar->setValue(std::max(0, value - rows));
}

const LineProvenance* TranscriptMemo::SourceOf(int index) const {
  return SourceOfBlock(LineBlock(index));
}

QColor TranscriptMemo::ColourOf(int index) const {
  const QTextBlock block = LineBlock(index);
  if (!block.isValid() || block.begin().atEnd()) return {};
  const QBrush brush = block.begin().fragment().charFormat().foreground();
  return brush.style() == Qt::NoBrush ? QColor() : brush.color();
}

const LineProvenance* TranscriptMemo::SourceAt(const QPoint& position) const {
  return SourceOfBlock(cursorForPosition(position).block());
}

// ---------------------------------------------------------------------------
// The reader's pointer
// ---------------------------------------------------------------------------

void TranscriptMemo::keyPressEvent(QKeyEvent* event) {
  QPlainTextEdit::keyPressEvent(event);
  // The key to the newest line scrolls there even when the cursor stands
  // there already (it moves nothing then, and the view would stay).
  if (event->matches(newest_at_bottom_ ? QKeySequence::MoveToEndOfDocument
                                       : QKeySequence::MoveToStartOfDocument)) {
    ScrollToNewest();
    OnScrolled();
  }
}

void TranscriptMemo::mouseMoveEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseMoveEvent(event);
  emit sourcePointed(SourceAt(event->position().toPoint()));
}

bool TranscriptMemo::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QPlainTextEdit::viewportEvent(event);
  // Hovering a line says where it came from.
  auto* help = static_cast<QHelpEvent*>(event);
  const QTextBlock block = cursorForPosition(help->pos()).block();
  const LineProvenance* source = SourceOfBlock(block);
  if (source != nullptr && !IsRule(block)) {
    QToolTip::showText(help->globalPos(), ProvenanceText(*source), viewport());
  } else {
    QToolTip::hideText();
  }
  return true;
}

QMenu* TranscriptMemo::CreateLineMenu(const QPoint& position) {
  QMenu* menu = createStandardContextMenu(position);
  const LineProvenance* source = SourceAt(position);
  if (source == nullptr || !source->has_value()) return menu;
  menu->addSeparator();
  const QString path = DataFilePath(*source);
  // The whole path, so the copy opens from anywhere.
  const QString file_line = QDir::toNativeSeparators(path) + ':' + QString::number((*source)->Line);
  QAction* copy = menu->addAction(tr("%1 をコピー").arg(FileLineText(*source)));
  copy->setObjectName(QStringLiteral("CopyFileLine"));
  copy->setToolTip(file_line);
  connect(copy, &QAction::triggered, this,
          [file_line] { QGuiApplication::clipboard()->setText(file_line); });
  QAction* open = menu->addAction(tr("データファイルを開く"));
  open->setObjectName(QStringLiteral("OpenDataFile"));
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
