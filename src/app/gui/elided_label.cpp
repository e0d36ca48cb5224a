// Painting a label's text cut to its width, and its tooltip.
#include "app/gui/elided_label.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace parlevo::gui {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  setTextFormat(Qt::PlainText);
}

QSize ElidedLabel::minimumSizeHint() const {
  const QSize hint = QLabel::minimumSizeHint();
  return {fontMetrics().horizontalAdvance(QStringLiteral("……")), hint.height()};
}

bool ElidedLabel::Elided() const {
  return fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

QString ElidedLabel::ShownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

void ElidedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  style()->drawItemText(&painter, contentsRect(), int(alignment() | Qt::AlignVCenter), palette(),
                        isEnabled(), ShownText(), foregroundRole());
}

bool ElidedLabel::event(QEvent* event) {
  // The tooltip is the whole text, and only when the label shows less.
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    if (Elided()) {
      QToolTip::showText(help->globalPos(), text(), this);
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return QLabel::event(event);
}

}  // namespace parlevo::gui
