// The Qt implementations of the window's dialogs, and the conversion of a
// "description|patterns" file filter into Qt's filter syntax.
#include "app/gui/dialog_providers.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStringList>
#include <algorithm>

namespace parlevo::gui {
namespace {

// A message box sizes itself to its text, so a short text leaves a title
// the window manager cuts to "P…". A spacer as wide as the title (plus room
// for the frame's buttons) under the text keeps the title whole.
void FitTitle(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  const int title_width = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar"))
                              .horizontalAdvance(box.windowTitle());
  const int width = std::max(280, title_width * 3 / 2 + 120);
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

std::optional<QString> QtDialogProviders::OpenFile(QWidget* parent, const QString& filter) {
  const QString file =
      QFileDialog::getOpenFileName(parent, QStringLiteral("開く"), last_folder_, filter);
  if (file.isEmpty()) return std::nullopt;
  last_folder_ = QFileInfo(file).absolutePath();
  return file;
}

std::optional<QString> QtDialogProviders::AskText(QWidget* parent, const QString& caption,
                                                  const QString& prompt, const QString& text) {
  bool ok = false;
  const QString answer =
      QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, text, &ok);
  if (!ok) return std::nullopt;
  return answer;
}

std::optional<SaveChoice> QtDialogProviders::SaveFile(QWidget* parent, const QString& caption,
                                                      const QString& filter,
                                                      const QString& suggested) {
  QString chosen_filter;
  const QString file =
      QFileDialog::getSaveFileName(parent, caption, suggested, filter, &chosen_filter);
  if (file.isEmpty()) return std::nullopt;
  return SaveChoice{file, chosen_filter};
}

void QtDialogProviders::ShowMessage(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
  FitTitle(box);
  box.exec();
}

bool QtDialogProviders::Ask(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, parent);
  FitTitle(box);
  return box.exec() == QMessageBox::Yes;
}

QString QtFileFilter(std::string_view filter) {
  const QStringList parts = QString::fromUtf8(filter.data(), qsizetype(filter.size())).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
    filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(' '));
  }
  return filters.join(QStringLiteral(";;"));
}

}  // namespace parlevo::gui
