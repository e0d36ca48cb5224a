// The character dialog: the chosen list and its buttons on the left, where
// characters come from on the right, the recent pairs and groups beneath.
#include "app/gui/character_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "app/gui/dialog_providers.h"

namespace parlevo::gui {
namespace {

constexpr int kFileRole = Qt::UserRole;

// The name on the first line, the data folder (or why it is none) beneath.
QListWidgetItem* CharacterItem(const CharacterChoice& choice) {
  auto* item = new QListWidgetItem(choice.name + '\n' +
                                   (choice.error.isEmpty() ? choice.folder : choice.error));
  item->setData(kFileRole, choice.file);
  item->setToolTip(choice.file);
  return item;
}

QPushButton* Button(const QString& caption, const char* name, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

QListWidget* List(const char* name, QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setAlternatingRowColors(true);
  // A long folder wraps rather than hiding its end behind a scroll bar.
  list->setWordWrap(true);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return list;
}

}  // namespace

CharacterDialog::CharacterDialog(const QStringList& samples, const QList<CharacterGroup>& recent,
                                 FileOpenProvider* files, QWidget* parent)
    : QDialog(parent), files_(files) {
  setObjectName(QStringLiteral("CharacterDialog"));
  setWindowTitle(tr("会話する人格を選ぶ"));
  notice_ = new QLabel(this);
  notice_->setObjectName(QStringLiteral("Notice"));
  notice_->setWordWrap(true);
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons_->button(QDialogButtonBox::Ok)->setText(tr("会話を始める"));
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* columns = new QHBoxLayout;
  columns->addWidget(createChosenColumn(), 1);
  columns->addWidget(createSourceColumn(samples, recent), 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addWidget(notice_);
  layout->addWidget(buttons_);
  resize(640, 480);
  Refresh();
}

QWidget* CharacterDialog::createChosenColumn() {
  auto* column = new QWidget(this);
  auto* caption = new QLabel(tr("話す順(&O) (2～8人、最初の人から話します):"), column);
  chosen_ = List("Chosen", column);
  caption->setBuddy(chosen_);
  connect(chosen_, &QListWidget::currentRowChanged, this, &CharacterDialog::Refresh);
  up_ = Button(tr("上へ(&U)"), "MoveUp", column);
  down_ = Button(tr("下へ(&D)"), "MoveDown", column);
  swap_ = Button(tr("入れ替え(&W)"), "Swap", column);
  remove_ = Button(tr("外す(&R)"), "Remove", column);
  connect(up_, &QPushButton::clicked, this, [this] { MoveSelected(-1); });
  connect(down_, &QPushButton::clicked, this, [this] { MoveSelected(1); });
  connect(swap_, &QPushButton::clicked, this, &CharacterDialog::Swap);
  connect(remove_, &QPushButton::clicked, this, &CharacterDialog::RemoveSelected);
  auto* buttons = new QGridLayout;
  buttons->addWidget(up_, 0, 0);
  buttons->addWidget(down_, 0, 1);
  buttons->addWidget(swap_, 1, 0);
  buttons->addWidget(remove_, 1, 1);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(caption);
  layout->addWidget(chosen_, 1);
  layout->addLayout(buttons);
  return column;
}

QWidget* CharacterDialog::createSourceColumn(const QStringList& samples,
                                             const QList<CharacterGroup>& recent) {
  auto* column = new QWidget(this);
  auto* caption = new QLabel(tr("サンプルと最近の人格(&C):"), column);
  sources_ = List("Sources", column);
  caption->setBuddy(sources_);
  for (const QString& file : samples) AddSource(file);
  for (const CharacterGroup& group : recent) {
    for (const QString& file : group.files) AddSource(file);
  }
  connect(sources_, &QListWidget::itemActivated, this, &CharacterDialog::AddSelectedSource);
  connect(sources_, &QListWidget::currentRowChanged, this, &CharacterDialog::Refresh);
  add_ = Button(tr("追加(&A)"), "Add", column);
  connect(add_, &QPushButton::clicked, this, &CharacterDialog::AddSelectedSource);
  QPushButton* from_file = Button(tr("ファイルから(&F)..."), "AddFromFile", column);
  connect(from_file, &QPushButton::clicked, this, &CharacterDialog::AddFromFile);
  auto* add_row = new QHBoxLayout;
  add_row->addWidget(add_);
  add_row->addWidget(from_file);

  auto* groups_caption = new QLabel(tr("最近の顔ぶれ(&M):"), column);
  groups_ = List("RecentGroups", column);
  groups_caption->setBuddy(groups_);
  for (const CharacterGroup& group : recent) {
    auto* item = new QListWidgetItem(GroupCaption(group), groups_);
    item->setToolTip(GroupFolders(group));
    item->setData(kFileRole, group.files);
  }
  connect(groups_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    ChooseGroup(CharacterGroup{item->data(kFileRole).toStringList(), {}});
  });
  sources_->installEventFilter(this);
  groups_->installEventFilter(this);

  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(caption);
  layout->addWidget(sources_, 2);
  layout->addLayout(add_row);
  layout->addWidget(groups_caption);
  layout->addWidget(groups_, 1);
  return column;
}

// Each base file once; files that are gone or no longer base files are left out.
void CharacterDialog::AddSource(const QString& file) {
  for (int i = 0; i < sources_->count(); ++i) {
    if (sources_->item(i)->data(kFileRole).toString() == file) return;
  }
  const CharacterChoice choice = DescribeCharacter(file);
  if (choice.error.isEmpty()) sources_->addItem(CharacterItem(choice));
}

bool CharacterDialog::eventFilter(QObject* watched, QEvent* event) {
  auto* list = qobject_cast<QListWidget*>(watched);
  if (list == nullptr || event->type() != QEvent::KeyPress)
    return QDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  if (QListWidgetItem* item = list->currentItem()) emit list->itemActivated(item);
  return true;
}

QStringList CharacterDialog::Files() const {
  QStringList files;
  for (int i = 0; i < chosen_->count(); ++i) files << chosen_->item(i)->data(kFileRole).toString();
  return files;
}

QString CharacterDialog::Notice() const { return notice_->text(); }

bool CharacterDialog::AddFile(const QString& file) {
  const CharacterChoice choice = DescribeCharacter(file);
  if (!choice.error.isEmpty()) {
    notice_->setText(tr("%1: %2").arg(choice.error, file));
  } else if (Files().contains(file)) {
    notice_->setText(tr("%1 はもう選ばれています").arg(choice.name));
  } else if (chosen_->count() >= kMaxCharacters) {
    notice_->setText(tr("一つの会話は %1 人までです").arg(kMaxCharacters));
  } else {
    notice_->clear();
    chosen_->addItem(CharacterItem(choice));
    chosen_->setCurrentRow(chosen_->count() - 1);
    Refresh();
    return true;
  }
  return false;
}

void CharacterDialog::ChooseGroup(const CharacterGroup& group) {
  chosen_->clear();
  for (const QString& file : group.files) AddFile(file);
  Refresh();
}

void CharacterDialog::AddFromFile() {
  const std::optional<QString> file =
      files_->OpenFile(this, tr("人格基本ファイル (*.ltc *.txt);;すべてのファイル (*)"));
  if (file && AddFile(*file)) AddSource(*file);
}

void CharacterDialog::AddSelectedSource() {
  if (QListWidgetItem* item = sources_->currentItem()) {
    AddFile(item->data(kFileRole).toString());
  }
}

void CharacterDialog::MoveSelected(int step) {
  const int row = chosen_->currentRow();
  const int target = row + step;
  if (row < 0 || target < 0 || target >= chosen_->count()) return;
  chosen_->insertItem(target, chosen_->takeItem(row));
  chosen_->setCurrentRow(target);
}

void CharacterDialog::Swap() {
  if (chosen_->count() < 2) return;
  int row = std::max(0, chosen_->currentRow());
  if (row == chosen_->count() - 1) --row;
  chosen_->insertItem(row, chosen_->takeItem(row + 1));
  chosen_->setCurrentRow(row);
}

void CharacterDialog::RemoveSelected() {
  delete chosen_->takeItem(chosen_->currentRow());
  Refresh();
}

void CharacterDialog::Refresh() {
  const int count = chosen_->count();
  const int row = chosen_->currentRow();
  up_->setEnabled(row > 0);
  down_->setEnabled(row >= 0 && row + 1 < count);
  swap_->setEnabled(count >= 2);
  remove_->setEnabled(row >= 0);
  add_->setEnabled(sources_->currentItem() != nullptr && count < kMaxCharacters);
  buttons_->button(QDialogButtonBox::Ok)
      ->setEnabled(count >= kMinCharacters && count <= kMaxCharacters);
}

}  // namespace parlevo::gui
