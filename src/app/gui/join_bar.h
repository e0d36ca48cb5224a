// The input line under the transcript where the watcher joins the
// conversation: what is entered goes out as one line of the watcher's.
#ifndef PARLEVO_APP_GUI_JOIN_BAR_H_
#define PARLEVO_APP_GUI_JOIN_BAR_H_

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;

namespace parlevo::gui {

class JoinBar final : public QWidget {
  Q_OBJECT

 public:
  // Hidden until Open.
  explicit JoinBar(QWidget* parent = nullptr);

  // Shows the bar with the focus in its field.
  void Open();
  // Shows who the watcher is, beside the field.
  void SetWatcher(const QString& name);
  QString Text() const;
  void Clear();

 signals:
  // Enter in a non-empty field; the field keeps the text until Clear, so a
  // refused line can be mended.
  void lineEntered(const QString& text);
  // Escape in the field.
  void closeRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLabel* label_ = nullptr;
  QLineEdit* field_ = nullptr;
};

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_JOIN_BAR_H_
