// A label of the status bar that shows as much of its text as fits, ending
// in "…", with the whole text as its tooltip when it is cut.
#ifndef PARLEVO_APP_GUI_ELIDED_LABEL_H_
#define PARLEVO_APP_GUI_ELIDED_LABEL_H_

#include <QLabel>

namespace parlevo::gui {

// text() stays the whole text; only the painting is cut. The label asks for
// the width of its whole text but can be made as narrow as a few letters,
// so a long text never widens the window nor pushes another label out.
class ElidedLabel final : public QLabel {
  Q_OBJECT

 public:
  explicit ElidedLabel(QWidget* parent = nullptr);

  QSize minimumSizeHint() const override;
  // True when the text does not fit and is shown cut.
  bool Elided() const;
  // What the label paints: the text, cut to the width with "…".
  QString ShownText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
};

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_ELIDED_LABEL_H_
