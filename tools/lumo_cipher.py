"""The line cipher of enciphered data and state files, for the generators of
the sample and test characters and for authors who encipher their own files.

    from lumo_cipher import encipher
    lines = encipher([l.encode("cp932") for l in plain_lines], b"MY-KEY")
"""

MASTER_KEY = b"AmberLanterns"


def crypt(text: bytes, key: bytes) -> bytes:
    """Each byte moves up by (key byte mod 20) within 32..255; the key
    position restarts on every line."""
    if not key:
        return text
    out = bytearray()
    for i, c in enumerate(text):
        r = c + key[i % len(key)] % 20
        out.append(r - 224 if r > 255 else r)
    return bytes(out)


def encipher(lines, key: bytes):
    """The key line ("encrypted" + the key enciphered with the master key),
    then every line enciphered with the key."""
    return [b"encrypted" + crypt(key, MASTER_KEY)] + [crypt(l, key) for l in lines]
