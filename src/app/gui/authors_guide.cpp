// Locates authoring.md and renders it in a text browser window of its own.
#include "app/gui/authors_guide.h"

#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/shipped_files.h"

namespace parlevo::gui {

QString FindAuthorsGuide() {
  const auto guide = platform::FindShippedFile(platform::ShippedKind::kDocs, "authoring.md");
  if (!guide) return {};
  return QString::fromStdU16String(guide->path.u16string());
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
