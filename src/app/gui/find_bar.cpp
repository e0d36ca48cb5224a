// Finding text in the transcript: case-insensitive plain text (kana, kanji
// and full-width letters compare as they are), wrapping at either end.
#include "app/gui/find_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>

namespace parlevo::gui {
namespace {

// Enough to see where matches are without slowing a large transcript.
constexpr int kMaxHighlights = 1000;

}  // namespace

FindBar::FindBar(QPlainTextEdit* view, QWidget* parent) : QWidget(parent), view_(view) {
  setObjectName(QStringLiteral("FindBar"));
  auto* label = new QLabel(tr("検索(&I):"), this);
  field_ = new QLineEdit(this);
  field_->setObjectName(QStringLiteral("FindText"));
  label->setBuddy(field_);
  auto* previous = new QToolButton(this);
  previous->setText(tr("前へ"));
  auto* next = new QToolButton(this);
  next->setText(tr("次へ"));
  auto* close = new QToolButton(this);
  close->setText(tr("閉じる"));
  result_ = new QLabel(this);
  result_->setObjectName(QStringLiteral("FindResult"));

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(8, 2, 8, 2);
  row->addWidget(label);
  row->addWidget(field_, 1);
  row->addWidget(previous);
  row->addWidget(next);
  row->addWidget(result_);
  row->addWidget(close);

  connect(field_, &QLineEdit::textChanged, this, [this] {
    HighlightAll();
    Find(/*backward=*/false);
  });
  connect(field_, &QLineEdit::returnPressed, this, &FindBar::FindNext);
  connect(next, &QToolButton::clicked, this, &FindBar::FindNext);
  connect(previous, &QToolButton::clicked, this, &FindBar::FindPrevious);
  connect(close, &QToolButton::clicked, this, &FindBar::Close);
  hide();
}

QString FindBar::Text() const { return field_->text(); }
void FindBar::SetText(const QString& text) { field_->setText(text); }

void FindBar::Open() {
  show();
  field_->setFocus();
  field_->selectAll();
  HighlightAll();
}

void FindBar::Close() {
  hide();
  view_->setExtraSelections({});
  view_->setFocus();
}

void FindBar::Refresh() {
  if (isVisible()) HighlightAll();
}

bool FindBar::FindNext() { return Find(/*backward=*/false); }
bool FindBar::FindPrevious() { return Find(/*backward=*/true); }

bool FindBar::Find(bool backward) {
  const QString text = field_->text();
  result_->clear();
  if (text.isEmpty()) return false;
  const QTextDocument::FindFlags flags =
      backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
  if (view_->find(text, flags)) return true;
  // Wrap around: start again from the other end.
  QTextCursor from(view_->document());
  from.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
  const QTextCursor found = view_->document()->find(text, from, flags);
  if (found.isNull()) {
    result_->setText(tr("見つかりません"));
    return false;
  }
  view_->setTextCursor(found);
  return true;
}

void FindBar::HighlightAll() {
  QList<QTextEdit::ExtraSelection> highlights;
  const QString text = field_->text();
  if (!text.isEmpty()) {
    QTextEdit::ExtraSelection mark;
    mark.format.setBackground(QColor(255, 230, 120));
    QTextCursor cursor = view_->document()->find(text, 0);
    while (!cursor.isNull() && highlights.size() < kMaxHighlights) {
      mark.cursor = cursor;
      highlights << mark;
      cursor = view_->document()->find(text, cursor);
    }
  }
  view_->setExtraSelections(highlights);
}

void FindBar::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    Close();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace parlevo::gui
