// The watcher's input line: a label naming the watcher and a field whose
// Enter hands the text on; Escape asks to close the bar.
#include "app/gui/join_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <limits>

namespace parlevo::gui {

JoinBar::JoinBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("JoinBar"));
  label_ = new QLabel(this);
  label_->setObjectName(QStringLiteral("JoinWatcher"));
  field_ = new QLineEdit(this);
  field_->setObjectName(QStringLiteral("JoinText"));
  // Long lines are the caller's to refuse, with a message, not silently cut.
  field_->setMaxLength(std::numeric_limits<int>::max());
  label_->setBuddy(field_);

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(8, 2, 8, 2);
  row->addWidget(label_);
  row->addWidget(field_, 1);

  connect(field_, &QLineEdit::returnPressed, this, [this] {
    if (!field_->text().isEmpty()) emit lineEntered(field_->text());
  });
  SetWatcher(QString());
  hide();
}

void JoinBar::Open() {
  show();
  field_->setFocus();
}

void JoinBar::SetWatcher(const QString& name) {
  // A '&' of the name is shown, not taken as an access key.
  label_->setText(tr("%1 の発言(&T):").arg(QString(name).replace('&', QStringLiteral("&&"))));
}

QString JoinBar::Text() const { return field_->text(); }

void JoinBar::Clear() { field_->clear(); }

void JoinBar::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    emit closeRequested();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace parlevo::gui
