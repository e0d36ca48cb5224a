// A character described from its base file alone, a remembered group's
// texts, and the samples' run folder.
#include "app/gui/character_choice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "app/gui/ansi_text.h"
#include "app/gui/refusal_message.h"
#include "app/gui/transcript_log.h"
#include "app/sample_characters.h"
#include "data/character_file.h"
#include "platform/shipped_files.h"

namespace parlevo::gui {
namespace {

namespace fs = std::filesystem;

QString Tr(const char* text) { return QCoreApplication::translate("CharacterChoice", text); }

QString PathText(const fs::path& path) { return QString::fromStdU16String(path.u16string()); }

}  // namespace

CharacterChoice DescribeCharacter(const QString& file) {
  CharacterChoice choice{file, QFileInfo(file).completeBaseName(), {}, {}};
  const std::string native = PathToNative(file);
  try {
    if (!IsCharacterFile(native)) {
      choice.error = Tr("人格基本ファイルではありません");
      return choice;
    }
    const TCharacterFile base(native);
    const QString name = AnsiToQString(base.GetValue("name"));
    if (!name.isEmpty()) choice.name = name;
    choice.folder = QDir::toNativeSeparators(NativeToPath(base.DataFolder()));
  } catch (const std::exception& error) {
    choice.error = ReasonText(error.what());
  }
  return choice;
}

QString GroupCaption(const CharacterGroup& group) {
  QStringList names;
  for (qsizetype i = 0; i < group.files.size(); ++i) {
    const QString name = group.names.value(i);
    names << (name.isEmpty() ? QFileInfo(group.files[i]).completeBaseName() : name);
  }
  return names.join(QStringLiteral(" × "));
}

QString GroupFolders(const CharacterGroup& group) {
  QStringList lines;
  for (const QString& file : group.files) lines << QDir::toNativeSeparators(file);
  return lines.join('\n');
}

QStringList SampleCharacterFiles(QString* error) {
  const auto shipped = platform::FindShippedFile(platform::ShippedKind::kData, "examples");
  if (!shipped) {
    if (error) *error = Tr("サンプルの人格が見つかりません");
    return {};
  }
  fs::path folder;
  try {
    const QString user_folder = TranscriptLog::UserDataFolder();
    folder = SamplesRunFolder(*shipped, fs::path(user_folder.toStdU16String()),
                              platform::ProgramFolder());
  } catch (const fs::filesystem_error& failure) {
    std::fprintf(stderr, "parlevo: cannot copy the sample characters: %s\n", failure.what());
    if (error) *error = Tr("サンプルの人格をコピーできません");
    return {};
  }
  QStringList files;
  for (const char* base : kSampleBaseFiles) files << PathText(folder / base);
  return files;
}

}  // namespace parlevo::gui
