// The Qt implementations of the window's dialogs, and the conversion of a
// "description|patterns" file filter into Qt's filter syntax.
#include "app/gui/dialog_providers.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

namespace parlevo::gui {

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

void QtDialogProviders::ShowMessage(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
  box.exec();
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
