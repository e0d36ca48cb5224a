// The memo that shows the transcript: a read-only plain text view, newest
// line on top (or, when asked, at the bottom), each speaker in a colour of
// its own, long lines wrapped, a dated rule between conversations; its lines
// are counted as ANSI text of the process code page.
#ifndef PARLEVO_APP_GUI_TRANSCRIPT_MEMO_H_
#define PARLEVO_APP_GUI_TRANSCRIPT_MEMO_H_

#include <QDateTime>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <cstddef>

#include "app/gui/line_provenance.h"

class QMenu;
class QTextBlock;

namespace parlevo::gui {

// Lines are the text's paragraphs, the dated rules between conversations
// aside (they are in the view only: never counted, saved or logged); an
// empty last paragraph (the memo is empty) is not a line. The reader may
// select and copy, never type, cut or paste.
class TranscriptMemo final : public QPlainTextEdit {
  Q_OBJECT

 public:
  // Who said a line that no character said (a plain ShowLine).
  static constexpr int kNoSpeaker = -1;
  // What the memo keeps beside each block (transcript_memo.cpp).
  struct Entry;

  explicit TranscriptMemo(QWidget* parent = nullptr);

  int LineCount() const;
  QStringList Lines() const;  // top to bottom
  QStringList OldestFirst() const;

  // Puts a line at the newest end. When the reader has scrolled away from
  // the newest line, the lines in view stay where they are (and
  // NewLinesUnseen turns true); otherwise the view follows the newest line.
  // `speaker` picks its colour (0 opens; negative: the text colour).
  void AddLine(const QString& line, const LineProvenance* source = nullptr,
               int speaker = kNoSpeaker);
  // Before a conversation's first line: a dated rule when lines of an
  // earlier one are shown, and the view back at the newest line.
  void StartConversation(const QDateTime& when);
  // Removes the oldest line (and a rule left at the oldest end) and returns
  // it; "" when there is none.
  QString TakeOldestLine();
  // Where line `index` (0 = top) came from; null when not known.
  const LineProvenance* SourceOf(int index) const;
  // The colour line `index` (0 = top) is shown in; invalid: the text colour.
  QColor ColourOf(int index) const;
  // The menu for the line under `position` (viewport coordinates): copy,
  // select all, then copy the data file's path and line and open the file
  // when known.
  QMenu* CreateLineMenu(const QPoint& position);

  // Bytes of the whole text in the process code page, each line followed by
  // CR LF (a double-byte character counts two). Kept as lines come and go
  // rather than measured again: the memo may hold 25600 bytes of lines.
  size_t AnsiSize() const { return ansi_size_; }

  // The newest line at the bottom rather than on top; the lines shown are
  // put in the new order.
  void SetNewestAtBottom(bool at_bottom);
  bool NewestAtBottom() const { return newest_at_bottom_; }
  // True while the view is scrolled away from the newest line.
  bool ScrolledAway() const;
  // Lines arrived since the reader scrolled away; false again at the newest.
  bool NewLinesUnseen() const { return new_lines_unseen_; }
  // The key that brings the newest line back, for the notice.
  QString NewestKey() const;
  // Back to the newest line (a new conversation starts there).
  void ScrollToNewest();
  // Text size: steps of one point from the starting size; 0 is that size.
  int Zoom() const { return zoom_; }
  void SetZoom(int steps);

 signals:
  // NewLinesUnseen changed.
  void unseenChanged(bool unseen);
  // The reader changed the text size (Ctrl+wheel included).
  void zoomChanged(int steps);
  // The line selected or under the mouse came from `source` (null: none).
  void sourcePointed(const LineProvenance* source);
  // The reader asked to open a line's data file.
  void openFileRequested(const QString& path);

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  void OnScrolled();
  // Adds a line or a rule at the newest end, keeping the reader's view.
  void AddBlock(const QString& text, const Entry& entry);
  QTextBlock LineBlock(int index) const;
  const LineProvenance* SourceAt(const QPoint& position) const;
  void PutReaderCursorAtNewest();
  void RemoveBlock(const QTextBlock& block);
  // Measures the whole text again after a change made from outside
  // AddLine and TakeOldestLine (clear(), setPlainText()).
  void OnContentsChange();
  size_t MeasureAnsiSize() const;

  size_t ansi_size_ = 0;
  bool own_edit_ = false;  // true while the memo edits its own text
  bool newest_at_bottom_ = false;
  bool new_lines_unseen_ = false;
  int zoom_ = 0;
  int base_point_size_ = 0;
};

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_TRANSCRIPT_MEMO_H_
