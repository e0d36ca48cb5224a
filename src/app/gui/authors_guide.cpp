// Locates the authors' guide in the user's language and renders it: anchors
// on the headings for the contents links, and every block wrapped to width.
#include "app/gui/authors_guide.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/shipped_files.h"

namespace parlevo::gui {
namespace {

QString FindShippedDoc(const QString& name) {
  const auto guide = platform::FindShippedFile(platform::ShippedKind::kDocs,
                                               std::filesystem::path(name.toStdU16String()));
  if (!guide) return {};
  return QString::fromStdU16String(guide->path.u16string());
}

// Qt's Markdown reader makes no anchors for headings; the contents links
// name them the way Markdown sites do.
void AnchorHeadings(QTextDocument& document) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() == 0 || block.text().isEmpty()) continue;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat anchor;
    anchor.setAnchor(true);
    anchor.setAnchorNames({HeadingAnchor(block.text())});
    cursor.mergeCharFormat(anchor);
  }
}

// Code blocks keep their lines whole and tables take their natural width;
// both would make the reader scroll sideways. Wrapped, they fit the window.
void FitToWidth(QTextDocument& document) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (!block.blockFormat().nonBreakableLines()) continue;
    QTextCursor cursor(block);
    QTextBlockFormat format = block.blockFormat();
    format.setNonBreakableLines(false);
    cursor.setBlockFormat(format);
  }
  // An image (a screenshot) is shown at most kMaxImageWidth wide; the file
  // beside the guide has it at full size.
  constexpr int kMaxImageWidth = 360;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.charFormat().isImageFormat()) continue;
      QTextImageFormat image = fragment.charFormat().toImageFormat();
      const QImage picture =
          document.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
      if (picture.isNull() || picture.width() <= kMaxImageWidth) continue;
      image.setWidth(kMaxImageWidth);
      image.setHeight(picture.height() * kMaxImageWidth / picture.width());
      QTextCursor cursor(&document);
      cursor.setPosition(fragment.position());
      cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
      cursor.setCharFormat(image);
    }
  }
  for (QTextFrame* frame : document.rootFrame()->childFrames()) {
    if (auto* table = qobject_cast<QTextTable*>(frame)) {
      QTextTableFormat format = table->format();
      format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
      table->setFormat(format);
    }
  }
}

}  // namespace

QString HeadingAnchor(const QString& heading) {
  QString anchor;
  for (const QChar c : heading.trimmed()) {
    if (c.isLetterOrNumber()) {
      anchor += c.toLower();
    } else if (c == ' ') {
      anchor += '-';
    } else if (c == '-' || c == '_') {
      anchor += c;
    }
  }
  return anchor;
}

QString AuthorsGuideFileName(const QLocale& locale) {
  return locale.language() == QLocale::Japanese ? QStringLiteral("authoring.ja.md")
                                                : QStringLiteral("authoring.md");
}

QString FindAuthorsGuide(const QLocale& locale) {
  const QString guide = FindShippedDoc(AuthorsGuideFileName(locale));
  return guide.isEmpty() ? FindShippedDoc(QStringLiteral("authoring.md")) : guide;
}

QTextBrowser* ShowAuthorsGuide(QWidget* parent, const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return nullptr;
  auto* dialog = new QDialog(parent);
  dialog->setObjectName(QStringLiteral("AuthorsGuide"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(QCoreApplication::translate("AuthorsGuide", "Parlevo 作者ガイド"));
  auto* browser = new QTextBrowser(dialog);
  browser->setOpenExternalLinks(true);
  browser->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  browser->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  // Relative links and images resolve against the guide's own folder.
  browser->setSearchPaths({QFileInfo(path).absolutePath()});
  browser->document()->setBaseUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath() + '/'));
  browser->setMarkdown(QString::fromUtf8(file.readAll()));
  AnchorHeadings(*browser->document());
  FitToWidth(*browser->document());
  auto* layout = new QVBoxLayout(dialog);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser);
  dialog->resize(680, 520);
  dialog->show();
  return browser;
}

}  // namespace parlevo::gui
