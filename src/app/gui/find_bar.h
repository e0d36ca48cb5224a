// The find bar under the transcript: a text field with next and previous,
// every match highlighted, the current one selected.
#ifndef PARLEVO_APP_GUI_FIND_BAR_H_
#define PARLEVO_APP_GUI_FIND_BAR_H_

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace parlevo::gui {

class FindBar final : public QWidget {
  Q_OBJECT

 public:
  // Searches `view`, which must outlive the bar. Hidden until Open.
  explicit FindBar(QPlainTextEdit* view, QWidget* parent = nullptr);

  // Shows the bar with the focus in its field, the text selected.
  void Open();
  // Selects the next (or previous) match of the field's text after (before)
  // the selection, wrapping around; false when the text occurs nowhere.
  bool FindNext();
  bool FindPrevious();
  // Hides the bar, clears the highlights and gives the focus back.
  void Close();
  // Highlights every match again (the transcript has changed).
  void Refresh();

  QString Text() const;
  void SetText(const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool Find(bool backward);
  void HighlightAll();

  QPlainTextEdit* view_;
  QLineEdit* field_ = nullptr;
  QLabel* result_ = nullptr;
};

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_FIND_BAR_H_
