// The memo that shows the transcript, newest line on top: a read-only plain
// text view whose lines are counted as ANSI text of the process code page.
#ifndef PARLEVO_APP_GUI_TRANSCRIPT_MEMO_H_
#define PARLEVO_APP_GUI_TRANSCRIPT_MEMO_H_

#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <cstddef>

#include "app/gui/line_provenance.h"

class QMenu;

namespace parlevo::gui {

// Lines are the text's paragraphs; an empty last paragraph (the text ends in
// a line break, or the memo is empty) is not a line. The reader may select
// and copy, never type, cut or paste.
class TranscriptMemo final : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit TranscriptMemo(QWidget* parent = nullptr);

  int LineCount() const;
  QStringList Lines() const;  // top to bottom

  // When the reader has scrolled away from the top, the lines in view stay
  // where they are (and NewLinesUnseen turns true); at the top, the view
  // follows the newest line.
  void InsertFirstLine(const QString& line, const LineProvenance* source = nullptr);
  // Where line `index` (0 = top) came from; null when not known.
  const LineProvenance* SourceOf(int index) const;
  // The menu for the line under `position` (viewport coordinates): copy,
  // select all, then copy FILE:LINE and open the data file when known.
  QMenu* CreateLineMenu(const QPoint& position);
  // Removes the bottom line and returns it; "" when there is none.
  QString TakeLastLine();

  // Bytes of the whole text in the process code page, each line followed by
  // CR LF (a double-byte character counts two). Kept as lines come and go
  // rather than measured again: the memo may hold 25600 bytes of lines.
  size_t AnsiSize() const { return ansi_size_; }

  // True while the view is scrolled away from the newest line.
  bool ScrolledAway() const;
  // Lines arrived since the reader scrolled away; false again at the top.
  bool NewLinesUnseen() const { return new_lines_unseen_; }
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

 private:
  void OnScrolled(int value);
  const LineProvenance* SourceAt(const QPoint& position) const;
  void PutReaderCursorOnTop();
  // Measures the whole text again after a change made from outside
  // InsertFirstLine and TakeLastLine (clear(), setPlainText()).
  void OnContentsChange();
  size_t MeasureAnsiSize() const;

  size_t ansi_size_ = 0;
  bool own_edit_ = false;  // true while InsertFirstLine or TakeLastLine edits
  bool new_lines_unseen_ = false;
  int zoom_ = 0;
  int base_point_size_ = 0;
};

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_TRANSCRIPT_MEMO_H_
