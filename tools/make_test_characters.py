#!/usr/bin/env python3
"""Writes the two test characters of tests/data/characters/ (Shift JIS text,
CR LF lines): 花子 (hanako.ltc) and 太郎 (taro.txt).

花子 uses every kind of data, tiers that run across two files, once-only
objects, an enciphered data file and a state file made here with the same
line cipher the program uses. 太郎 carries what a personality author gets
wrong (short lines, a broken pattern, an end marker, idle markers, a missing
file) so that `parlevo-cli check` has something to report.

Run from anywhere: python3 tools/make_test_characters.py
"""
import pathlib

from lumo_cipher import encipher

ROOT = pathlib.Path(__file__).resolve().parent.parent / "tests" / "data" / "characters"


def write(path: pathlib.Path, lines, key=None):
    data = [l.encode("cp932") if isinstance(l, str) else l for l in lines]
    if key is not None:
        data = encipher(data, key.encode("cp932"))
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(b"".join(l + b"\r\n" for l in data))


def base_file(values):
    lines = []
    for key, value in values:
        lines += [key, value]
    return lines


def hanako():
    write(ROOT / "hanako.ltc", base_file([
        ("version", "210"),
        ("name", "花子"),
        ("folder", "hanako"),
        ("data01", "open_once.txt"),
        ("data02", 'open.txt,"missing file.txt"'),
        ("dataa1", "context_once.txt"),
        ("dataa2", "context.txt"),
        ("datab1", "words_1.txt words_2.txt"),
        ("datab2", "secret.txt"),
        ("datac1", "chat_once.txt"),
        ("datac2", "chat.txt"),
    ]))
    d = ROOT / "hanako"
    # Kind 0: the opening. The once-only greeting comes first, and only once.
    write(d / "open_once.txt", ["true,はじめまして、花子です。"])
    write(d / "open.txt", [
        "{EQ{OPERATEMESSAGE}|LCCALLED},また会いましたね、{NICKNAME}さん。",
        "FALSE,これは決して言いません。",
    ])
    # Kind A: context (my previous answer), input, answer.
    write(d / "context_once.txt", ["はじめまして,こんにちは,こちらこそ、よろしくお願いします。"])
    write(d / "context.txt", ["天気,そう,ですよね。"])
    # Kind B, once-only: the first tier is one entry; the marker in file 1
    # opens a tier that file 2 continues.
    write(d / "words_1.txt", [
        "天気,今日はいい天気ですね。",
        "{PRIOR},x",
        "天気,晴れるといいですね。",
    ])
    write(d / "words_2.txt", [
        "天気,雨も好きです。",
        "名前,花子といいます。",
    ])
    # Kind B, reusable, enciphered: memory that outlives the run.
    write(d / "secret.txt", [
        "ひみつ,秘密は「{MEMO50}」です。",
        "おぼえて,{MEMO50:{PREV}}覚えました。",
        "数えて,{COUNT50++}{COUNT50}回目です。",
        "{NothingSaid},どうしたの？",
        "{Repeated},さっきも聞きましたよ。",
    ], key="ひみつ")
    # Kind C: three once-only lines weigh against one reusable line.
    write(d / "chat_once.txt", ["そういえば、猫を飼っています。", "お茶でもいかが？", "最近、本を読みました。"])
    write(d / "chat.txt", ["なるほど。"])
    # A state file as an earlier run would have left it: memo, count, flag
    # of slot 50 set, enciphered with the character's name.
    memos = ["花子の秘密"] + [""] * 49
    counts = ["3"] + ["0"] * 49
    flags = ["True"] + ["False"] * 49
    write(d / "hanako.lts", memos + counts + flags, key="花子")


def taro():
    write(ROOT / "taro.txt", base_file([
        ("VERSION", "305"),
        ("Name", "太郎"),
        ("Folder", "taro"),
        ("data01", ""),
        ("data02", "greet.txt nothere.txt"),
        ("dataa1", ""),
        ("dataa2", "talk_a.txt"),
        ("datab1", "talk_b.txt"),
        ("datab2", "more_b.txt"),
        ("datac1", ""),
        ("datac2", "free.txt"),
    ]))
    d = ROOT / "taro"
    write(d / "greet.txt", [
        "{EQ{OPERATEMESSAGE}|LCCALLED},よう、{NICKNAME}。太郎だ。",
        "ひとつだけ",
    ])
    write(d / "talk_a.txt", [
        "太郎,名前,さっき名乗っただろう。",
        "ふたつ,だけ",
    ])
    write(d / "talk_b.txt", [
        "{prior},x",
        "こんにちは,こんにちは！",
        "[あ,壊れた模様",
        "{PRIOR},x",
        "{PRIOR},y",
        "天気,晴れだな。",
        "{ENDOFDATA},x",
        "隠れた,見えない行",
    ])
    write(d / "more_b.txt", [
        "{NothingSaid},黙ってどうした？",
        "{Repeated},同じことを言うなよ。",
        "{PRIOR},x",
    ])
    write(d / "free.txt", ["ふーん。", "それで？"])


if __name__ == "__main__":
    hanako()
    taro()
