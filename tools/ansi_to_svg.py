#!/usr/bin/env python3
"""A terminal screen as an image: the text tmux captured with its colours
(`tmux capture-pane -p -e`) drawn cell by cell into an SVG, wide (CJK)
characters taking two cells. Used for the guides' editor screenshot.

Usage: ansi_to_svg.py COLUMNS ROWS < capture.txt > screen.svg
"""
import re
import sys
import unicodedata
from xml.sax.saxutils import escape

CELL_W, CELL_H, FONT = 9.6, 20, 16
BASE16 = ["#1d1f21", "#cc342b", "#198844", "#c49a00", "#3971ed", "#a36ac7", "#3971ed", "#c5c8c6",
          "#5f6368", "#ff5f56", "#27c93f", "#ffbd2e", "#6fa8ff", "#d7a6ff", "#6fe4ff", "#ffffff"]
DEFAULT_FG, DEFAULT_BG = "#e0e0e0", "#1d1f21"


def color256(n):
    if n < 16:
        return BASE16[n]
    if n < 232:
        n -= 16
        steps = [0, 95, 135, 175, 215, 255]
        return "#%02x%02x%02x" % (steps[n // 36], steps[n // 6 % 6], steps[n % 6])
    level = 8 + (n - 232) * 10
    return "#%02x%02x%02x" % (level, level, level)


def apply_sgr(params, state):
    codes = [int(p) if p else 0 for p in params.split(";")] if params else [0]
    i = 0
    while i < len(codes):
        c = codes[i]
        if c == 0:
            state.update(fg=None, bg=None, bold=False, reverse=False)
        elif c == 1:
            state["bold"] = True
        elif c == 22:
            state["bold"] = False
        elif c == 7:
            state["reverse"] = True
        elif c == 27:
            state["reverse"] = False
        elif 30 <= c <= 37 or 90 <= c <= 97:
            state["fg"] = BASE16[c - 30 if c < 90 else c - 90 + 8]
        elif 40 <= c <= 47 or 100 <= c <= 107:
            state["bg"] = BASE16[c - 40 if c < 100 else c - 100 + 8]
        elif c == 39:
            state["fg"] = None
        elif c == 49:
            state["bg"] = None
        elif c in (38, 48) and i + 1 < len(codes):
            key = "fg" if c == 38 else "bg"
            if codes[i + 1] == 5 and i + 2 < len(codes):
                state[key] = color256(codes[i + 2])
                i += 2
            elif codes[i + 1] == 2 and i + 4 < len(codes):
                state[key] = "#%02x%02x%02x" % tuple(codes[i + 2:i + 5])
                i += 4
        i += 1


def cells(line, state):
    """(column, width, char, fg, bg, bold) for each character of a captured line."""
    column = 0
    for token in re.split(r"(\x1b\[[0-9;]*[A-Za-z])", line):
        if token.startswith("\x1b["):
            if token.endswith("m"):
                apply_sgr(token[2:-1], state)
            continue
        for ch in token:
            width = 2 if unicodedata.east_asian_width(ch) in "WF" else 1
            fg, bg = state["fg"] or DEFAULT_FG, state["bg"] or DEFAULT_BG
            if state["reverse"]:
                fg, bg = bg, fg
            yield column, width, ch, fg, bg, state["bold"]
            column += width


def main():
    columns, rows = int(sys.argv[1]), int(sys.argv[2])
    width, height = columns * CELL_W, rows * CELL_H
    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{width:.0f}" height="{height}">',
           f'<rect width="100%" height="100%" fill="{DEFAULT_BG}"/>',
           f'<g font-family="Noto Sans Mono CJK JP, monospace" font-size="{FONT}">']
    state = dict(fg=None, bg=None, bold=False, reverse=False)
    for row, line in enumerate(sys.stdin.read().split("\n")[:rows]):
        y = row * CELL_H
        for column, w, ch, fg, bg, bold in cells(line, state):
            x = column * CELL_W
            if bg != DEFAULT_BG:
                out.append(f'<rect x="{x:.1f}" y="{y}" width="{w * CELL_W + 0.6:.1f}" height="{CELL_H}" shape-rendering="crispEdges" fill="{bg}"/>')
            if ch != " ":
                weight = ' font-weight="bold"' if bold else ""
                out.append(f'<text x="{x:.1f}" y="{y + 15}" fill="{fg}"{weight}>{escape(ch)}</text>')
    out.append("</g></svg>")
    print("\n".join(out))


if __name__ == "__main__":
    main()
