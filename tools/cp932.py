#!/usr/bin/env python3
"""Print C string literals of code page 932 bytes for UTF-8 texts.

The core is compiled by GCC and by clang, and clang has no -fexec-charset, so
Japanese texts that must leave the program as cp932 bytes stand in the core as
byte escapes with the text beside them in a comment.  This prints them:

    tools/cp932.py "解凍エラーです"
"""
import sys


def literal(text: str) -> str:
    out = []
    for b in text.encode("cp932"):
        if 0x20 <= b < 0x7F and chr(b) not in '"\\?':
            out.append(chr(b))
        elif b == 0x0A:
            out.append("\\n")
        else:
            out.append("\\x%02x" % b)
    # A hex escape swallows the hex digits behind it; split the literal there.
    s = ""
    for i, piece in enumerate(out):
        if i and out[i - 1].startswith("\\x") and len(piece) == 1 and piece in "0123456789abcdefABCDEF":
            s += '" "'
        s += piece
    return '"' + s + '"'


if __name__ == "__main__":
    for arg in sys.argv[1:]:
        print(f"{literal(arg)}  // {arg}")
