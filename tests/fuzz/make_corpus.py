#!/usr/bin/env python3
"""Writes the fuzzer's seed corpus: the default data file and the damaged files the tests make.
Usage: make_corpus.py DEFAULT_FILE OUTPUT_FOLDER (the default file from kelbo init)."""
import struct
import sys

default = bytearray(open(sys.argv[1], "rb").read())
folder = sys.argv[2]


def offset(f, level):
    return struct.unpack_from("<I", f, 1 + 4 * level)[0]


def set_offset(f, level, value):
    struct.pack_into("<I", f, 1 + 4 * level, value)


def damaged(name, change):
    f = bytearray(default)
    change(f)
    open(f"{folder}/{name}.dat", "wb").write(f)


def set_byte(level, at, value):
    return lambda f: f.__setitem__(offset(f, level) + at, value)


damaged("default", lambda f: None)
damaged("cut-in-offset-table", lambda f: f.__delitem__(slice(20, None)))
damaged("cut-in-last-outline", lambda f: f.__delitem__(slice(2100, None)))
damaged("cut-in-last-table", lambda f: f.__delitem__(slice(1950, None)))
damaged("offset-past-end", lambda f: set_offset(f, 2, 5000))
damaged("offset-far-past-end", lambda f: set_offset(f, 5, 0xFFFFFFF0))
damaged("offset-into-offset-table", lambda f: set_offset(f, 0, 10))
damaged("no-rows", set_byte(1, 0, 0))
damaged("no-columns", set_byte(4, 1, 0))
damaged("every-cell-void", lambda f: f.__setitem__(slice(offset(f, 3) + 91, offset(f, 3) + 91 + 153), b"\xff" * 153))
damaged("as-many-mines-as-cells", set_byte(0, 2, 91))
damaged("more-mines-than-cells", set_byte(6, 2, 200))
damaged("stray-outline-byte", set_byte(5, 91 + 30, 15))
damaged("records-overlap", lambda f: set_offset(f, 1, 33 + 50))
damaged("title-without-terminator", lambda f: f.__setitem__(slice(offset(f, 0) + 3, offset(f, 0) + 16), b"\xe9" * 13))
