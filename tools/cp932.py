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
        # A hex escape would swallow a hex digit behind it: escape that too.
        follows_escape = bool(out) and out[-1].startswith("\\x")
        if 0x20 <= b < 0x7F and chr(b) not in '"\\?' and not (follows_escape and chr(b) in "0123456789abcdefABCDEF"):
            out.append(chr(b))
        elif b == 0x0A:
            out.append("\\n")
        else:
            out.append("\\x%02x" % b)
    return '"' + "".join(out) + '"'


if __name__ == "__main__":
    for arg in sys.argv[1:]:
        print(f"{literal(arg)}  // {arg}")
