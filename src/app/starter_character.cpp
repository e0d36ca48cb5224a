// The starter character: a few entries of each kind that show a condition,
// memory, tiers and once-only data, and a test script that passes at once.
#include "app/starter_character.h"

#include <system_error>

#include "platform/textfile.h"

namespace parlevo {
namespace {

namespace fs = std::filesystem;

// Kind 0 (data02): the opening, chosen by a condition on memory slot 50,
// which counts the meetings and is kept between runs.
const std::vector<std::string> kGreetings = {
    "{AND{EQ{OPERATEMESSAGE}|LCCALLED}|{EQ{COUNT50}|0}},"
    "はじめまして、{NICKNAME}さん。会えてうれしいな。{COUNT50++}",
    "{AND{EQ{OPERATEMESSAGE}|LCCALLED}|{>{COUNT50}|0}},"
    "おかえり、{NICKNAME}さん。{COUNT50++}{COUNT50}回目のおしゃべりだね。",
};

// Kind A, once-only (dataa1): follow-ups to the character's own question;
// the tier after {PRIOR} answers only when no season was named.
const std::vector<std::string> kFollowUps = {
    "好きな季節,春,春っていいよね。花の香りで散歩が楽しくなるんだ。",
    "好きな季節,夏,{MEMO51:夏}夏かあ。海とかき氷の季節だね。",
    "好きな季節,秋,{MEMO51:秋}秋はわたしも好き。夕方の風が気持ちいいよね。",
    "好きな季節,冬,{MEMO51:冬}冬は温かい飲みもののおいしい季節だね。",
    "{PRIOR},\"\",-",
    "好きな季節,\"\",そうなんだ。わたしは季節の変わり目がいちばん好きだよ。",
};

// Kind B (datab2): reactions to what is heard, in two tiers.
const std::vector<std::string> kReactions = {
    "こんにちは|こんばんは|おはよう,{NICKNAME}さん、こんにちは！今日はどんな一日だった？",
    "ありがとう,どういたしまして。",
    "{NOTHINGSAID},……あれ、{NICKNAME}さん、眠くなっちゃった？",
    "{PRIOR},-",
    "なぜ|どうして|なんで,うーん、それはむずかしい質問だね。",
};

// Kind C (datac2): free talk when nothing else answers; the last line reads
// what the follow-ups remembered.
const std::vector<std::string> kFreeTalk = {
    "ねえ{NICKNAME}さん、好きな季節はある？",
    "きのう見た夕焼け、とてもきれいだったんだ。",
    "{IF{EQ{MEMO51}|}最近なにか楽しいことあった？|{MEMO51}が来るのが待ち遠しいな。}",
};

std::vector<std::string> BaseFile(const std::string& name) {
  return {"name",      name,     "version",    "210",    "folder",    "data",   "data02",
          "greet.txt", "dataa1", "follow.txt", "datab2", "react.txt", "datac2", "chatter.txt"};
}

std::vector<std::string> BasicsScript(const std::string& leaf) {
  return {
      "# First checks of this character; run them after every change with",
      "#   parlevo-cli test " + leaf + ".ltc tests/basics.txt",
      "# Each script starts from a first meeting: no saved memory.",
      "! clock 2026/04/01 10:00:00",
      "! partner テスト",
      "< はじめまして、テストさん。会えてうれしいな。",
      "@ greet.txt:1",
      "? {COUNT50} = 1",
      "> こんにちは",
      "~ 今日はどんな一日",
      "@ react.txt:1",
      ">",
      "< ……あれ、テストさん、眠くなっちゃった？",
      "> どうして空は青いの",
      "@ react.txt:5",
      "# A later meeting: memory as a saved state would hold it.",
      "! fresh",
      "! set COUNT50 2",
      "< おかえり、テストさん。3回目のおしゃべりだね。",
  };
}

// Plain UTF-8, as editors save it and as personality files are read.
void Write(const fs::path& file, const std::vector<std::string>& lines,
           std::vector<fs::path>& written) {
  std::error_code error;
  fs::create_directories(file.parent_path(), error);  // a failure shows in the write
  platform::WriteTextLinesAtomic(file.string(), lines);
  written.push_back(file);
}

void CheckFolder(const fs::path& folder) {
  std::error_code error;
  const fs::file_status status = fs::status(folder, error);
  if (!fs::exists(status)) return;
  if (!fs::is_directory(status)) {
    throw EStarterRefused(folder.string() + ": exists and is not a folder");
  }
  if (!fs::is_empty(folder, error) || error) {
    throw EStarterRefused(folder.string() +
                          ": the folder is not empty; a new character needs a new or empty folder");
  }
}

}  // namespace

std::vector<fs::path> WriteStarterCharacter(const fs::path& folder, std::string name) {
  fs::path normal = folder.lexically_normal();
  if (!normal.has_filename()) normal = normal.parent_path();  // "FOLDER/"
  const std::string leaf = normal.filename().string();
  if (leaf.empty() || leaf == "." || leaf == "..") {
    throw EStarterRefused(folder.string() + ": name a new folder for the character");
  }
  if (name.empty()) name = leaf;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      throw EStarterRefused("the name may hold no control character");
    }
  }
  CheckFolder(folder);
  std::vector<fs::path> written;
  Write(folder / (leaf + ".ltc"), BaseFile(name), written);
  Write(folder / "data" / "greet.txt", kGreetings, written);
  Write(folder / "data" / "follow.txt", kFollowUps, written);
  Write(folder / "data" / "react.txt", kReactions, written);
  Write(folder / "data" / "chatter.txt", kFreeTalk, written);
  Write(folder / "tests" / "basics.txt", BasicsScript(leaf), written);
  return written;
}

}  // namespace parlevo
