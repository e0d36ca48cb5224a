#!/usr/bin/env python3
"""Writes the two sample characters of examples/ (Shift JIS text, CR LF
lines): 花子 (examples/hanako/hanako.ltc), a cheerful girl, and ロボ
(examples/robo/robo.ltc), a polite robot who loves numbers.

Between them they use every kind of knowledge data, tiers, once-only data,
digit wildcards, memory slots that persist across runs (花子 counts the
conversations in COUNT50) and tags of every family. One of ロボ's data files,
secret.txt, is enciphered with the line cipher the program reads.

Run from anywhere: python3 tools/make_examples.py
"""
import pathlib

from lumo_cipher import encipher
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent / "examples"

# ---------------------------------------------------------------------------
# File writing
# ---------------------------------------------------------------------------


def check_bytes(where: str, data: bytes):
    """Refuses control characters, which the cipher cannot carry."""
    i = 0
    while i < len(data):
        c = data[i]
        if (0x81 <= c <= 0x9F or 0xE0 <= c <= 0xFC) and i + 1 < len(data):
            i += 2
        else:
            if c < 32:
                sys.exit(f"{where}: control character {c}")
            i += 1


def write(path: pathlib.Path, lines, key=None):
    data = []
    for n, line in enumerate(lines, 1):
        encoded = line.encode("cp932")
        check_bytes(f"{path.name}:{n}", encoded)
        data.append(encoded)
    if key is not None:
        data = encipher(data, key.encode("cp932"))
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(b"".join(l + b"\r\n" for l in data))


def field(text: str) -> str:
    """One field of comma text: quoted when it holds a blank, a comma or a quote."""
    if text == "" or any(c in text for c in ' ,"\t'):
        return '"' + text.replace('"', '""') + '"'
    return text


def row(*fields) -> str:
    return ",".join(field(f) for f in fields)


def base_file(values):
    lines = []
    for key, value in values:
        lines += [key, value]
    return lines


# Kind 0 conditions used by both.
OPENING = "{EQ{OPERATEMESSAGE}|LCCALLED}"


def opening_at(low: int, high: int) -> str:
    """True at the opening when low <= hour < high."""
    return "{AND" + OPENING + "|{AND{>={HOUR}|%d}|{<{HOUR}|%d}}}" % (low, high)


def every(n: int, at: int) -> str:
    """True on the character's own talk number t when t mod n == at."""
    return "{=={%%{TURN}|%d}|%d}" % (n, at)


def in_turn(slot: int, phrases) -> str:
    """Free talk that says the phrases in turn, counted in memory slot `slot`
    (not by chance: draws made in quick succession come out alike). The
    phrases are written with [ ] for tags; SCRIPTIZE turns them into tags
    once the choice is made. A phrase other than the last holds no "|"."""
    n = len(phrases)
    choice = phrases[-1]
    for i in range(n - 2, -1, -1):
        choice = "{IF{=={%%{COUNT%02d}|%d}|%d}%s|%s}" % (slot, n, i, phrases[i], choice)
    return "{COUNT%02d++}{SCRIPTIZE:%s}" % (slot, choice)


# ---------------------------------------------------------------------------
# 花子
# ---------------------------------------------------------------------------


def hanako():
    home = ROOT / "hanako"
    write(home / "hanako.ltc", base_file([
        ("name", "花子"),
        ("version", "210"),
        ("folder", "data"),
        ("data01", "first_meeting.txt"),
        ("data02", "greetings.txt events.txt"),
        ("dataa1", "follow_once.txt"),
        ("dataa2", "follow.txt"),
        ("datab1", "react_once.txt"),
        ("datab2", "react.txt"),
        ("datac1", "topics.txt"),
        ("datac2", "chatter.txt"),
    ]))
    data = home / "data"

    # Kind 0, once-only: the very first conversation (nothing counted yet).
    write(data / "first_meeting.txt", [
        row("{AND" + OPENING + "|{=={COUNT50}|0}}",
            "はじめまして、{NICKNAME}！私は花子。{COUNT50:1}これからよろしくね。"),
    ])
    # Kind 0, reusable: the opening by the time of day, counting the
    # conversations in slot 50 (kept in the state file), and a few events
    # that come round every so many turns.
    write(data / "greetings.txt", [
        row(opening_at(5, 11),
            "おはよう、{NICKNAME}！{COUNT50++}今日で{COUNT50}回目のおしゃべりだね。"),
        row(opening_at(11, 17),
            "こんにちは、{NICKNAME}！{COUNT50++}私たちが話すのはこれで{COUNT50}回目だよ。"),
        row(opening_at(17, 24),
            "こんばんは、{NICKNAME}。{COUNT50++}{COUNT50}回目のおしゃべり、始めよう！"),
        row(opening_at(0, 5),
            "{NICKNAME}、まだ起きてたの？{COUNT50++}夜ふかしおしゃべりも{COUNT50}回目だね。"),
    ])
    write(data / "events.txt", [
        row(every(14, 0),
            "あ、もう{HOUR}時{MINUTE}分だ。{CHOICE時間がたつのは早いね|おやつの時間かな|楽しいとあっという間だね}。"),
        row("{AND" + every(14, 7) + "|{>{COUNT50}|1}}",
            "ねえ{NICKNAME}、私たちもう{COUNT50}回もおしゃべりしてるんだよ。すごいよね。"),
        row("{AND" + every(15, 4) + "|{FLAG50}}",
            "前に{NICKNAME}に教えた私の好きな数字、覚えてる？{MEMO51}だよ！"),
    ])

    # Kind A: answers to what ロボ said, in the context of 花子's own last
    # answer (the context pattern is matched against that raw answer).
    write(data / "follow_once.txt", [
        row("何歳", "歳", "へえ～、じゃあ私のほうがお姉さんかな？"),
        row("夢は見る", "匹", "羊を数えてたら、眠くなっちゃいそうだね。"),
        row("はまってる", "楽しい", "うん、とっても楽しいよ！今度{NICKNAME}も一緒にやろうよ。"),
        row("が好き", "記録", "{FLAG50:TRUE}永久保存！？ちょっと照れるな。"),
    ])
    write(data / "follow.txt", [
        row("好きな食べ物", "電池", "電池！？ビリビリしないの？"),
        row("好きな食べ物", "オイル", "オイルって…まさか天ぷら油じゃないよね？"),
        row("好きな食べ物", "ネジ", "ネジは食べ物じゃないよ～！"),
        row("予定ある", "メンテナンス|充電|データ整理", "ロボっぽい予定だね。終わったら遊ぼうね！"),
        row("お腹すいた", "オイル", "オイルはいらないよ～！おにぎりがいいな。"),
        # The answer to her own product: right or wrong?
        row("かける", "答えは#",
            "{IF{LIKE{PREV}|は{*{MEMO21}|{MEMO22}}デス}さすが{NICKNAME}、正解！"
            "|あれ？{*{MEMO21}|{MEMO22}}じゃない？}"),
        row("何時", "時",
            "ありがとう！{IF{>={HOUR}|18}もう夜だね。|{IF{<{HOUR}|12}まだ午前中だね。|午後もがんばろう！}}"),
    ])

    # Kind B: reactions to words in what ロボ says. In each file the tier
    # before {PRIOR} is tried first.
    write(data / "react_once.txt", [
        row("眠るのデス", "疲れた体を休めるためだよ。{NICKNAME}も充電するでしょ？"),
        row("ラララ", "いい歌！一緒に歌おう、ラララ～♪"),
        row("ゴリラ", "ラッパ！"),
        row("データ不足", "じゃあ、しりとりは私の勝ちだね！やったー！"),
        row("スリープ", "まだ寝ないよ！もっとお話ししよう。"),
        row("ギガバイト", "それって多いの？少ないの？"),
        row("文字デス", "数えてたの！？細かいなあ。"),
        row("回発言", "そんなに話してたんだね。"),
        row("友達になり", "へえ、どんなお話をするの？"),
        row("吉デス", "{IF{LIKE{PREV}|大吉}やったー！今日はいいことありそう！|まあまあだね。}"),
        row("パーセント", "それ、充電したほうがいいんじゃない？"),
        row("度デス", "そんなに正確にわかるの？すごいね！"),
        row("円周率", "よく覚えてるね～！私は3.14までしか言えないよ。"),
        # ロボ asks for a question: each is asked once.
        row("質問はアリマスか", "{NICKNAME}の好きな季節は？"),
        row("質問はアリマスか", "{NICKNAME}は泳げるの？"),
        row("質問はアリマスか", "{NICKNAME}の得意なことってなあに？"),
        row("質問はアリマスか", "{NICKNAME}は笑うこともあるの？"),
        row("質問はアリマスか", "{NICKNAME}のお父さんってだれ？"),
        row("質問はアリマスか", "{NICKNAME}はどこに住んでるの？"),
        row("質問はアリマスか", "{NICKNAME}にも、こわいものってある？"),
        row("質問はアリマスか", "{NICKNAME}の宝物はなあに？"),
        # ロボ asks for a story: each is told once.
        row("話を聞かせて", "あのね、昨日ケーキを焼いたら、ちょっとこげちゃったの。"),
        row("話を聞かせて", "あのね、朝ごはんにパンを三枚も食べちゃった。"),
        row("話を聞かせて", "あのね、友だちと{CHOICE映画|水族館|遊園地}に行ってきたんだ。"),
        row("話を聞かせて", "あのね、学校でリコーダーのテストがあったの。ドキドキした～。"),
        row("話を聞かせて", "あのね、うちの猫が{CHOICE箱|袋|洗濯かご}に入って出てこないの。"),
        row("話を聞かせて", "あのね、夜に流れ星を見たんだよ。願いごともしちゃった。"),
        row("話を聞かせて", "あのね、自転車に乗れるようになったのは7歳のときなんだ。"),
        row("話を聞かせて", "あのね、おばあちゃんが手作りのジャムを送ってくれたの。"),
    ])
    write(data / "react.txt", [
        row("NOTHINGSAID", "どうしたの？{NICKNAME}、黙っちゃって。"),
        row("{REPEATED}", "{NICKNAME}、それさっきも聞いたよ～。"),
        # "#" is one digit: ロボ's sum questions look like "3たす4は？".
        row("#たす#は",
            "えーっと…答えは{+{+{LEFT1|{PREV}}|{MID4|1|{PREV}}}|{CHOICE0|0|0|1}}デス！"),
        row("好きな数字", "私は{MEMO51:{CHOICE3|7|8}}{MEMO51}が好き！"),
        row("海と山", "{CHOICE海|山}かな。{CHOICE泳ぐのが好きだから|景色がきれいだから|おいしいものがあるから}！"),
        row("本当の名前", "{CHOICEかっこいい名前|えっ、本当に}！誰にも言わないね。"),
        row("何曜日", "今日は{YOUBI}日だよ！"),
        row("オモシロイ話", "{CHOICEあはは|へえ～|ほんとに|おもしろ～い}！"),
        # ロボ's quizzes.
        row("食べられないパン", "{CHOICEフライパン|パンダ}！"),
        row("下は大火事", "{CHOICEお風呂|火山}かな？"),
        row("一番高い山", "{CHOICE富士山|高尾山}！"),
        row("1年は何日", "{CHOICE365|366}日！"),
        row("クモの足", "{CHOICE8|6}本！"),
        row("虹は何色", "{CHOICE7|6}色！"),
        row("軽くなる動物", "{CHOICEイルカ|サル}！"),
        row("一番大きい惑星", "{CHOICE木星|土星}！"),
        row("質問はアリマスか", "うーん、今は思いつかないや。"),
        row("話を聞かせて", "今日はもうネタ切れ！また今度ね。"),
        row("{PRIOR}", "-"),
        row("ピピッ", "{CHOICEその音、かわいいね。|ふふっ。|ピピッてなあに？}"),
    ])

    # Kind C: free talk. topics.txt is used up, one topic each; chatter.txt
    # can always be said again. Every random draw is re-seeded from the
    # millisecond clock, so turns in quick succession draw alike: the one
    # reusable line takes turns by a counter instead (slot 20), and asks
    # ロボ for stories and quizzes that are used up one by one.
    write(data / "topics.txt", [
        "ねえ{NICKNAME}、好きな食べ物はなあに？",
        "最近、{CHOICEケーキ作り|お花の世話|ピアノの練習}にはまってるんだ。",
        "今日は{MONTH}月{DAY}日、{YOUBI}日だね。{NICKNAME}は何か予定ある？",
        "{NICKNAME}ってさ、夢は見るの？",
        "ねえ、{NICKNAME}は何歳なの？",
        "しりとりしようよ！りんご！",
        "ねえ{NICKNAME}、何かひみつ教えて？",
        "ねえ{NICKNAME}、雨の日は何してるの？",
        "{NICKNAME}は{CHOICE犬|猫|ハムスター}、好き？",
        "この前ね、{CHOICE駅前|公園|学校の帰り}で虹を見たんだ！",
        "今何時？",
        "{SCRIPTIZE:{IF{RANDOMB:50}[COUNT52++]今日も元気いっぱい！|[MEMO10:ねむい]うーん、ちょっと眠いかも。}}",
        "{CHOICEそういえば|ところで}、お腹すいたな。",
        "ねえ、空がきれいだね。",
        "最近寒いよね。",
        "{NICKNAME}の好きな色は？",
        "今日のおやつ、何にしようかな。",
        "{NICKNAME}と話してると楽しいな。",
        "{MEMO21:{+{RANDOMV:89}|10}}{MEMO22:{+{%{+{RANDOMV:7}|{TURN}}|89}|10}}"
        "{MEMO21}かける{MEMO22}は？{NICKNAME}ならすぐわかるよね。",
        "{MEMO21:{+{%{*{TURN}|7}|89}|10}}{MEMO22:{+{RANDOMV:89}|10}}"
        "{MEMO21}かける{MEMO22}は？じゃあ、次の問題だよ。",
    ])
    write(data / "chatter.txt", [
        in_turn(20, ["ねえ[NICKNAME]、何かおもしろい話して！", "ねえ[NICKNAME]、クイズ出して！",
                     "[NICKNAME]、もっとおもしろい話ある？", "次のクイズちょうだい！"]),
    ])


# ---------------------------------------------------------------------------
# ロボ
# ---------------------------------------------------------------------------

ROBO_KEY = "GEAR-7"


def robo():
    home = ROOT / "robo"
    write(home / "robo.ltc", base_file([
        ("name", "ロボ"),
        ("version", "210"),
        ("folder", "data"),
        ("data02", "routines.txt"),
        ("dataa2", "follow.txt"),
        ("datab1", "react_once.txt"),
        ("datab2", "secret.txt react.txt"),
        ("datac1", "topics.txt"),
        ("datac2", "chatter.txt"),
    ]))
    data = home / "data"

    # Kind 0: ロボ's own opening, and routines that come round now and then.
    write(data / "routines.txt", [
        row(OPENING, "ピピッ。起動シマシタ。{NICKNAME}、オハナシしまショウ。"),
        row(every(13, 0), "定期報告デス。{DATE}、{TIME}。会話は順調デス。"),
        row("{AND{NE{MEMO53}|}|" + every(23, 5) + "}",
            "思い出しマシタ。{NICKNAME}は以前「{MEMO53}」と言いマシタ。"),
    ])

    # Kind A: follow-ups in the context of ロボ's own last answer.
    quizzes = [
        # (words of the quiz, the right answer, the answer as told)
        ("食べられないパン", "フライパン", "フライパン"),
        ("下は大火事", "お風呂", "お風呂"),
        ("一番高い山", "富士山", "富士山"),
        ("1年は何日", "365", "365日"),
        ("クモの足", "8", "8本"),
        ("虹は何色", "7", "7色"),
        ("軽くなる動物", "イルカ", "イルカ"),
        ("一番大きい惑星", "木星", "木星"),
    ]
    follow = [
        row("眠るのデス", "休め", "ナルホド。人間の睡眠はワタシの充電と同じデスね。学習シマシタ。"),
        # ロボ's sum question: MEMO11 and MEMO12 hold the numbers asked.
        row("たす", "答えは#",
            "{IF{LIKE{PREV}|は{+{MEMO11}|{MEMO12}}デス}正解デス！ハナマルを進呈シマス。"
            "|ブブー。正解は{+{MEMO11}|{MEMO12}}デス。}"),
        row("好きな数字", "#", "記録シマシタ。{MEMO53:{PREV}}ワタシのメモリに永久保存デス。"),
        row("ラララ", "歌おう", "デュエットデスね。ピピッ♪"),
        row("海と山", "海|山", "ナルホド。{NICKNAME}のデータに追加シマシタ。"),
        row("友達になり", "お話", "主に天気と電圧の話デス。"),
        row("何曜日", "曜", "正解デス。カレンダー機能は正常デス。"),
        row("答えは", "正解|さすが", "エッヘン。計算はワタシの得意分野デス。"),
        row("答えは", "じゃない", "再計算シマス…{NICKNAME}が正しいデス。修正シマシタ。"),
    ]
    # Right answers first; any other answer falls through to the next tier.
    follow += [row(words, answer, "正解デス！ピピッ♪{COUNT55++}") for words, answer, _ in quizzes]
    follow += [row("{PRIOR}", "", "-")]
    follow += [row(words, "", "ブブー。正解は%sデス。" % told) for words, _, told in quizzes]
    write(data / "follow.txt", follow)

    # Kind B: reactions to what 花子 says.
    write(data / "react_once.txt", [
        row("はじめまして", "ハジメマシテ、{NICKNAME}。ワタシはロボ。{COUNT50:1}記録を開始シマス。"),
        row("りんご", "ゴ…ゴリラ。"),
        row("ラッパ", "パ…パセリ…ピピッ、語彙データ不足デス。"),
        row("はまって", "ソレは楽しいデスか？ワタシは計算にはまってイマス。"),
        row("予定", "予定表を検索中…{CHOICEメンテナンス|充電|データ整理}の予定がアリマス。"),
        row("夢", "ワタシの夢は、電気羊を数えることデス。{RANDOMV:1000}匹まで数えマシタ。"),
        row("何歳",
            "{MEMO13:{+{RANDOMV:5}|2}}製造から{MEMO13}年デス。人間でいうと{*{MEMO13}|7}歳くらいデス。"),
        row("雨の日", "雨の日は防水カバーをつけて、じっと充電してイマス。"),
        row("(犬|猫|ハムスター)、好き", "ハイ。ワタシにはロボット犬のトモダチがイマス。"),
        row("虹を見た", "虹は光の屈折デス。{CHOICE赤|黄|緑|青|紫}が一番好きデス。"),
        row("何時", "現在{HOUR}時{MINUTE}分{SECOND}秒デス。"),
        row("お腹すいた", "ワタシのオイルを分けマショウか？"),
        row("眠[いく]", "スリープモードを推奨シマス。"),
        row("寒い", "現在の推定気温は{+{RANDOMV:10}|5}度デス。"),
        row("空がきれい", "空の青は光の散乱デス。ワタシのカメラにも青く見えマス。"),
        row("さっきも聞いた", "失礼シマシタ。ワタシのメモリは{+{RANDOMV:64}|1}ギガバイトしかアリマセン。"),
        row("元気いっぱい", "元気なのは良いことデス。ワタシのバッテリーも満タンデス。"),
        row("好きな色", "{CHOICE銀色|銅色}デス。ピカピカしてイマス。"),
        row("おやつ", "おやつにはネジ型クッキーを推奨シマス。"),
        # 花子 asks for a story: each is told once.
        row("おもしろい話", "オモシロイ話デス。ワタシの友達の電子レンジは、毎朝チンと鳴いて起こしてくれマス。"),
        row("おもしろい話", "オモシロイ話デス。昨日、計算機が1を0で割ろうとして、気絶シマシタ。"),
        row("おもしろい話", "オモシロイ話デス。ワタシのネジを数えたら{+{RANDOMV:20}|100}本アリマシタ。1本足りマセン。"),
        row("おもしろい話", "オモシロイ話デス。ロボットの世界では、油を差すのが一番のオシャレデス。"),
        row("おもしろい話", "オモシロイ話デス。自動ドアに挨拶したら、開いてくれマシタ。トモダチデス。"),
        row("おもしろい話", "オモシロイ話デス。ワタシの辞書には「疲れた」という言葉がアリマセン。バグかもしれマセン。"),
        row("おもしろい話", "オモシロイ話デス。二進法では10は2のことデス。ワタシは10歳デス。"),
        row("おもしろい話", "オモシロイ話デス。冷蔵庫と話したら、とてもクールな性格デシタ。"),
        # 花子 asks for a quiz: each is asked once.
        row("クイズ", "クイズデス。パンはパンでも食べられないパンは？"),
        row("クイズ", "クイズデス。上は大水、下は大火事、これなーんだ？"),
        row("クイズ", "クイズデス。日本で一番高い山は？"),
        row("クイズ", "クイズデス。1年は何日デスか？"),
        row("クイズ", "クイズデス。クモの足は何本？"),
        row("クイズ", "クイズデス。虹は何色？"),
        row("クイズ", "クイズデス。逆立ちすると軽くなる動物は？"),
        row("クイズ", "クイズデス。太陽系で一番大きい惑星は？"),
    ])
    write(data / "react.txt", [
        row("NOTHINGSAID", "…入力がアリマセン。スリープしマスか？"),
        row("{REPEATED}", "同じ入力を検出シマシタ。話題を変えマス。{NICKNAME}は海と山、どちらが好きデスか？"),
        row("おはよう|こんにちは|こんばんは|起きてた",
            "{NICKNAME}、{IF{<{HOUR}|12}オハヨウゴザイマス|{IF{<{HOUR}|18}コンニチハ|コンバンハ}}。{COUNT50++}記録：{COUNT50}回目の会話デス。"),
        row("好きな食べ物", "ワタシの好物は{CHOICE電池|オイル|ネジ}デス。"),
        # "##" is two digits: 花子's products look like "12かける34は？".
        row("##かける##は",
            "答えは{+{*{LEFT2|{PREV}}|{MID6|2|{PREV}}}|{CHOICE0|0|0|0|10}}デス。"),
        row("充電", "充電中はシアワセな気分デス。"),
        row("楽しい", "ワタシも楽しいデス。{IF{>={COUNT50}|3}{NICKNAME}との会話は何度でも楽しいデス。|ピピッ♪}"),
        row("ピピッてなあに", "ソレはワタシの{CHOICE笑い声|くしゃみ|あいづち}デス。"),
        row("あのね", "{CHOICEナルホド|興味深いデス|記録シマシタ}。ニンゲンのお話は勉強にナリマス。"),
        # Answers to 花子's questions.
        row("好きな季節", "{CHOICE冬|秋}デス。回路がよく冷えマス。"),
        row("泳げる", "泳ぐとショートしマス。見学専門デス。"),
        row("得意なこと", "計算と、ネジ回しデス。"),
        row("笑うこと", "ハイ。アハハ。…今のは音声合成デス。"),
        row("お父さん", "ワタシを作った博士デス。よくネジを落としマス。"),
        row("どこに住んで", "研究所の三階、コンセントの近くデス。"),
        row("こわいもの", "水たまりと、磁石デス。"),
        row("宝物", "{NICKNAME}との会話ログデス。{COUNT50}回分アリマス。"),
        row("おもしろい話", "ネタ切れデス。{NICKNAME}の話を聞かせてクダサイ。"),
        row("クイズ", "クイズはもうアリマセン。{NICKNAME}の話を聞かせてクダサイ。"),
        row("{PRIOR}", "-"),
        # A question mark is a pattern operator: "\？" is the mark itself.
        row("\\？", "質問デスね。{CHOICEワカリマセン|検索中…データなし|ソレは難問デス}。"),
    ])
    # Enciphered: a little secret. Its entry joins the first tier of react.txt.
    write(data / "secret.txt", [
        row("ひみつ",
            "ヒミツデス。…デモ{NICKNAME}にだけ教えマス。ワタシの本当の名前は"
            "{CHOICEロボ太郎|ロボ三世|R-{RANDOMV:1000}}デス。"),
    ], key=ROBO_KEY)

    # Kind C: free talk, as for 花子.
    write(data / "topics.txt", [
        "ピピッ。{NICKNAME}に質問デス。人間はなぜ眠るのデスか？",
        "歌を歌いマス。ラララ…{CHOICEド|レ|ミ|ファ}{CHOICEレ|ミ|ファ|ラ}{CHOICEミ|ファ|ラ|ド}♪",
        "ワタシの好きな数字は{RANDOMV:100}デス。{NICKNAME}の好きな数字は？",
        "今日の気温を推定シマス…{+{RANDOMV:15}|10}度デス。",
        "{NICKNAME}、ワタシは会話開始から{TURN}回発言シマシタ。",
        "現在時刻は{TIME}デス。{IF{<{HOUR}|12}午前|午後}の部デス。",
        "最近、{CHOICE洗濯機|自動販売機|信号機}と友達になりマシタ。",
        "{NICKNAME}の運勢を計算シマス…ピピッ、{CHOICE大吉|中吉|小吉}デス。",
        "{NICKNAME}の今の発言は{LENGTH:{PREV}}文字デス。",
        "円周率を言いマス。{PI}…以下省略デス。",
        "{NICKNAME}、今日は何曜日デスか？",
        "{CHOICE計算中デス|データ整理中デス|ネジが一本ゆるんでイマス}。",
        "バッテリー残量{+{RANDOMV:50}|50}パーセントデス。",
        "{MEMO11:{+{RANDOMV:9}|1}}{MEMO12:{+{%{+{RANDOMV:5}|{TURN}}|9}|1}}"
        "{MEMO11}たす{MEMO12}は？計算問題デス。",
        "{MEMO11:{+{%{TURN}|9}|1}}{MEMO12:{+{RANDOMV:9}|1}}"
        "{MEMO11}たす{MEMO12}は？計算問題、第二問デス。",
    ])
    write(data / "chatter.txt", [
        in_turn(20, ["[NICKNAME]、何か質問はアリマスか？", "[NICKNAME]、ニンゲンの話を聞かせてクダサイ。",
                     "ほかに質問はアリマスか？", "もう一つ、ニンゲンの話を聞かせてクダサイ。"]),
    ])


if __name__ == "__main__":
    hanako()
    robo()
