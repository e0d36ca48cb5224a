// The start notices: the data folder tried for writing, each data file named
// by the base file looked up, nothing loaded.
#include "app/gui/start_notices.h"

#include <QCoreApplication>
#include <QDir>
#include <exception>
#include <filesystem>
#include <system_error>

#include "app/gui/ansi_text.h"
#include "data/character_file.h"
#include "data/text_helpers.h"
#include "engine/character.h"
#include "platform/folder_access.h"
#include "platform/native_path.h"
#include "platform/textfile.h"

namespace parlevo::gui {
namespace {

QString Tr(const char* text) { return QCoreApplication::translate("StartNotices", text); }

QString Shown(const std::string& native) { return QDir::toNativeSeparators(NativeToPath(native)); }

void NoteReadOnlyFolder(const QString& name, const std::string& folder, QStringList& notices) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error) || platform::FolderWritable(folder)) return;
  notices << Tr("%1: フォルダ %2 に書き込めないため、覚えたことは保存されません。"
                "人格のフォルダを自分のフォルダ (例えば ~/parlevo/) にコピーして、"
                "コピーの人格基本ファイルを選んでください。")
                 .arg(name, Shown(folder));
}

void NoteSkippedDataFiles(const QString& name, const TCharacterFile& base, QStringList& notices) {
  for (int slot = 0; slot < TCharacter::kSlotCount; ++slot) {
    const std::string_view key = TCharacter::DataKey(slot);
    for (const std::string& file : SplitCommaText(base.GetValue(key))) {
      const std::string path = platform::JoinAnsiPath(base.DataFolder(), file);
      if (platform::FileExists(path)) continue;
      const QString why = platform::IsOtherThanFile(path) ? Tr("ファイルではなくフォルダなどです")
                                                          : Tr("見つかりません");
      notices << Tr("%1: %2 のデータファイル %3 は読み込まれません (%4)")
                     .arg(name, QString::fromLatin1(key.data(), qsizetype(key.size())), Shown(path),
                          why);
    }
  }
}

}  // namespace

QStringList StartNotices(const std::vector<std::string>& base_files) {
  QStringList notices;
  for (const std::string& file : base_files) {
    try {
      if (!IsCharacterFile(file)) continue;
      const TCharacterFile base(file);
      QString name = AnsiToQString(base.GetValue("name"));
      if (name.isEmpty()) name = Shown(file);
      NoteReadOnlyFolder(name, base.DataFolder(), notices);
      NoteSkippedDataFiles(name, base, notices);
    } catch (const std::exception&) {
      // An unreadable base file: loading refuses it and says why.
    }
  }
  return notices;
}

}  // namespace parlevo::gui
