// Locates authoring.md and renders it in a text browser window of its own.
#include "app/gui/authors_guide.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace parlevo::gui {

QString FindAuthorsGuide() {
  const QString program_folder = QCoreApplication::applicationDirPath();
  const QStringList candidates = {
      program_folder + QStringLiteral("/docs/authoring.md"),
      program_folder + QStringLiteral("/../share/doc/parlevo/authoring.md"),
#ifdef PARLEVO_DOCS_DIR
      QStringLiteral(PARLEVO_DOCS_DIR "/authoring.md"),
#endif
  };
  for (const QString& candidate : candidates) {
    if (QFileInfo(candidate).isFile()) return QDir::cleanPath(candidate);
  }
  return {};
}

void ShowAuthorsGuide(QWidget* parent, const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return;
  auto* dialog = new QDialog(parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(QStringLiteral("Parlevo 作者ガイド"));
  auto* browser = new QTextBrowser(dialog);
  browser->setOpenExternalLinks(true);
  // Relative links and images resolve against the guide's own folder.
  browser->setSearchPaths({QFileInfo(path).absolutePath()});
  browser->document()->setBaseUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath() + '/'));
  browser->setMarkdown(QString::fromUtf8(file.readAll()));
  auto* layout = new QVBoxLayout(dialog);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser);
  dialog->resize(680, 520);
  dialog->show();
}

}  // namespace parlevo::gui
