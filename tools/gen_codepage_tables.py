#!/usr/bin/env python3
# Generates src/platform/codepage_tables.cpp: the code page 932 and 1252
# tables, taken from Python's cp932/cp1252 codecs with Windows' own choices.
"""Writes the compiled-in code page tables.

Decoding comes from Python's codecs, which follow Windows' mappings, with the
bytes Windows maps but the Python cp1252 codec leaves undefined added
(0x81, 0x8D, 0x8F, 0x90, 0x9D -> U+0081 ...). Python's cp932 already has
Windows' 0x80 -> U+0080, 0xA0 -> U+F8F0 and 0xFD-0xFF -> U+F8F1-U+F8F3; the
script insists on them anyway.

Encoding is the inverse of decoding. Where several byte forms decode to one
character (NEC row 13, NEC-selected IBM extensions in 0xED/0xEE, IBM
extensions in 0xFA-0xFC), Windows writes the lowest code outside 0xED/0xEE:
JIS X 0208 before NEC row 13 before the IBM extensions, and the IBM
extensions before their NEC-selected copies. Python's own encoder prefers
the 0xED/0xEE copies, so it is not used for those. A few one-way best-fit
forms are added as Windows writes them: the JIS X 0208 originals of the
characters that code page 932 maps elsewhere (U+301C wave dash -> 0x8160,
U+2016, U+2212, U+00A2, U+00A3, U+00AC), and U+00A5 -> 0x5C, U+203E -> 0x7E.

Output layout (all arrays constant, no run-time initialisation):
  kDecode<cp>Single[256]      UTF-16 unit of each single byte, 0xFFFF = none
                              (lead bytes are 0xFFFF too)
  kDecode932Lead[256]         index of the lead byte's row, -1 = not a lead
  kDecode932Rows[rows][256]   UTF-16 unit of lead:trail, 0xFFFF = none
  kEncode<cp>Page[256]        index of the page for a high byte, -1 = none
  kEncode<cp>Pages[n][256]    code (byte, or lead * 256 + trail), 0 = none

Usage: tools/gen_codepage_tables.py > src/platform/codepage_tables.cpp
"""

import sys

NONE16 = 0xFFFF

# Bytes Windows maps that Python's codecs may lack.
EXTRA_DECODE = {
    "cp932": {0x80: 0x0080, 0xA0: 0xF8F0, 0xFD: 0xF8F1, 0xFE: 0xF8F2, 0xFF: 0xF8F3},
    "cp1252": {0x81: 0x0081, 0x8D: 0x008D, 0x8F: 0x008F, 0x90: 0x0090, 0x9D: 0x009D},
}

# One-way forms Windows writes for characters the code page has no own code
# for (best fit).
EXTRA_ENCODE = {
    "cp932": {
        0x00A2: 0x8191, 0x00A3: 0x8192, 0x00A5: 0x5C, 0x00AC: 0x81CA,
        0x2016: 0x8161, 0x203E: 0x7E, 0x2212: 0x817C, 0x301C: 0x8160,
    },
    "cp1252": {},
}

LEADS_932 = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))


def decode_one(data, codec):
    try:
        text = data.decode(codec)
    except UnicodeDecodeError:
        return None
    if len(text) != 1 or ord(text) > 0xFFFF:
        return None
    return ord(text)


def single_table(codec, leads):
    table = []
    for b in range(256):
        if b in leads:
            table.append(NONE16)
            continue
        u = EXTRA_DECODE[codec].get(b)
        if u is None:
            u = decode_one(bytes([b]), codec)
        table.append(NONE16 if u is None else u)
    for b, u in EXTRA_DECODE[codec].items():
        assert table[b] == u, (codec, hex(b))
    return table


def double_rows(codec):
    rows = {}
    for lead in LEADS_932:
        row = []
        for trail in range(256):
            u = decode_one(bytes([lead, trail]), codec)
            row.append(NONE16 if u is None else u)
        rows[lead] = row
    return rows


def windows_preference(code):
    """Sort key: the form Windows writes comes first."""
    nec_selected = 0xED00 <= code <= 0xEEFF
    return (1 if nec_selected else 0, code)


def encode_map(codec, single, rows):
    forms = {}
    for b, u in enumerate(single):
        if u != NONE16:
            forms.setdefault(u, []).append(b)
    for lead, row in rows.items():
        for trail, u in enumerate(row):
            if u != NONE16:
                forms.setdefault(u, []).append(lead * 256 + trail)
    enc = {u: min(codes, key=windows_preference) for u, codes in forms.items()}
    for u, code in EXTRA_ENCODE[codec].items():
        assert u not in enc, (codec, hex(u))
        enc[u] = code
    return enc


def emit_u16_array(out, name, values, per_line=12):
    out.append(f"const uint16_t {name}[{len(values)}] = {{")
    for i in range(0, len(values), per_line):
        chunk = ", ".join(f"0x{v:04X}" for v in values[i:i + per_line])
        out.append(f"    {chunk},")
    out.append("};")


def emit_index(out, name, index):
    out.append(f"const int16_t {name}[256] = {{")
    for i in range(0, 256, 16):
        out.append("    " + ", ".join(str(v) for v in index[i:i + 16]) + ",")
    out.append("};")


def emit_rows(out, name, rows_list):
    out.append(f"const uint16_t {name}[{len(rows_list)}][256] = {{")
    for row in rows_list:
        out.append("    {")
        for i in range(0, 256, 12):
            out.append("        " + ", ".join(f"0x{v:04X}" for v in row[i:i + 12]) + ",")
        out.append("    },")
    out.append("};")


def emit_encoder(out, prefix, enc):
    pages = {}
    for u, code in enc.items():
        if u < 0x80 and code == u:
            continue  # ASCII is handled by the code
        pages.setdefault(u >> 8, [0] * 256)[u & 0xFF] = code
    index = [-1] * 256
    page_list = []
    for hi in sorted(pages):
        index[hi] = len(page_list)
        page_list.append(pages[hi])
    emit_index(out, f"kEncode{prefix}Page", index)
    emit_rows(out, f"kEncode{prefix}Pages", page_list)


def main():
    out = [
        "// Generated by tools/gen_codepage_tables.py from Python's cp932 and cp1252",
        "// codecs with Windows' own choices; do not edit by hand.",
        "",
        '#include "platform/codepage_tables.h"',
        "",
        "namespace parlevo::platform::tables {",
        "",
    ]
    # Code page 932.
    single = single_table("cp932", set(LEADS_932))
    rows = double_rows("cp932")
    emit_u16_array(out, "kDecode932Single", single)
    lead_index = [-1] * 256
    for i, lead in enumerate(LEADS_932):
        lead_index[lead] = i
    emit_index(out, "kDecode932Lead", lead_index)
    emit_rows(out, "kDecode932Rows", [rows[lead] for lead in LEADS_932])
    emit_encoder(out, "932", encode_map("cp932", single, rows))
    out.append("")
    # Code page 1252.
    single = single_table("cp1252", set())
    emit_u16_array(out, "kDecode1252Single", single)
    emit_encoder(out, "1252", encode_map("cp1252", single, {}))
    out.append("")
    out.append("}  // namespace parlevo::platform::tables")
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
