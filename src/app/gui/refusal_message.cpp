// Turning the engine's refusal messages into the window's Japanese text.
#include "app/gui/refusal_message.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringDecoder>

#include "app/gui/ansi_text.h"
#include "app/gui/conversation_controller.h"

namespace parlevo::gui {
namespace {

// The engine's refusal messages and what they mean to the user.
struct KnownReason {
  const char* engine;
  const char* text;
};
constexpr KnownReason kKnownReasons[] = {
    {"characterfile is not found", QT_TRANSLATE_NOOP("RefusalMessage", "ファイルが見つかりません")},
    {"characterfile is invalid",
     QT_TRANSLATE_NOOP("RefusalMessage",
                       "人格基本ファイルではありません (name または folder がありません)")},
    {"character is not supported in this version",
     QT_TRANSLATE_NOOP("RefusalMessage", "人格のバージョンが古すぎます (210 以上が必要です)")},
    {"character contains no data",
     QT_TRANSLATE_NOOP("RefusalMessage", "読み込めるデータがありません")},
    {kNamedTwiceReason,
     QT_TRANSLATE_NOOP(
         "RefusalMessage",
         "同じ人格が一つの会話に二度入っています (状態ファイルを二人で書くことになります)")},
};

}  // namespace

QString ReasonText(std::string_view engine_message) {
  for (const KnownReason& known : kKnownReasons) {
    if (engine_message == known.engine) {
      return QCoreApplication::translate("RefusalMessage", known.text);
    }
  }
  return QCoreApplication::translate("RefusalMessage", "ファイルを読み込めません");
}

QString EngineMessageText(std::string_view message) {
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  const QString text = utf8(QByteArrayView(message.data(), qsizetype(message.size())));
  if (!utf8.hasError()) return text;
  return AnsiToQString(message);
}

QString RefusalMessage(const CharacterRefusal& refusal, const QString& path) {
  const QString which =
      QCoreApplication::translate("RefusalMessage", "%1人目").arg(refusal.which + 1);
  return QStringLiteral("不正な人格です\n\n%1: %2\n%3\n(%4)")
      .arg(which, QDir::toNativeSeparators(path), ReasonText(refusal.reason),
           EngineMessageText(refusal.reason));
}

}  // namespace parlevo::gui
