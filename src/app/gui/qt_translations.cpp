// Finding and installing Qt's Japanese catalogue.
#include "app/gui/qt_translations.h"

#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace parlevo::gui {

bool InstallQtJapanese(QCoreApplication& app) {
  const QStringList folders = {
      QLibraryInfo::path(QLibraryInfo::TranslationsPath),
      QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
  auto* translator = new QTranslator(&app);
  for (const QString& folder : folders) {
    if (translator->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                         folder)) {
      return QCoreApplication::installTranslator(translator);
    }
  }
  delete translator;
  return false;
}

}  // namespace parlevo::gui
