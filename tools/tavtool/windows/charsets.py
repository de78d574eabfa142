#!/usr/bin/env python3
# SPDX-License-Identifier: BSL-1.0
# Copyright (c) 2026 The Tav developers
"""Writes the character set tables of tavtool's iconv for Windows from the
glibc of the machine that builds it: what glibc's iconv makes of every byte
sequence of each character set, and which bytes it makes of every character,
so that the Windows tool converts exactly as the Linux one does.

A character set is taken where glibc converts it a character at a time, each
byte sequence to one character of the Basic Multilingual Plane, sequences of
at most three bytes: every single-byte one and the double-byte ones of East
Asia (with EUC-JP's three-byte JIS X 0212). Left out, and refused by the
Windows tool, are those that keep a state (ISO-2022-JP, CP1258 and TCVN, which
compose accents, CP1255, which composes Hebrew points, UTF-7, UTF-16 with its byte order mark), those of four-byte
sequences (GB18030, EUC-TW) and those that make two characters of one sequence
(BIG5-HKSCS).

Usage: charsets.py OUTPUT.c"""
import ctypes
import errno
import glob
import os
import sys

libc = ctypes.CDLL(None, use_errno=True)
libc.iconv_open.restype = ctypes.c_void_p
libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
libc.iconv.restype = ctypes.c_size_t
libc.iconv.argtypes = [ctypes.c_void_p] + [ctypes.c_void_p] * 4
FAILED = ctypes.c_size_t(-1).value
NO_HANDLE = ctypes.c_void_p(-1).value

# The character sets gettext knows (msgfmt warns of others), and those of the
# MS-DOS and Windows code pages, ISO 8859 and KOI8 families that glibc has.
CHARSETS = """ANSI_X3.4-1968 ISO-8859-1 ISO-8859-2 ISO-8859-3 ISO-8859-4 ISO-8859-5 ISO-8859-6 ISO-8859-7 ISO-8859-8
ISO-8859-9 ISO-8859-10 ISO-8859-11 ISO-8859-13 ISO-8859-14 ISO-8859-15 ISO-8859-16 KOI8-R KOI8-U KOI8-RU KOI8-T
CP437 CP737 CP775 CP850 CP852 CP855 CP856 CP857 CP860 CP861 CP862 CP863 CP864 CP865 CP866 CP869 CP874 CP922 CP1125
CP1250 CP1251 CP1252 CP1253 CP1254 CP1255 CP1256 CP1257 TIS-620 VISCII GEORGIAN-PS GEORGIAN-ACADEMY ARMSCII-8 PT154
RK1048 MACINTOSH MAC-CYRILLIC MAC-UK
SHIFT_JIS CP932 EUC-JP EUC-JP-MS GB2312 GBK BIG5 CP950 EUC-KR UHC JOHAB""".split()


class Unsupported(Exception):
    pass


def open_(to, from_):
    handle = libc.iconv_open(to.encode(), from_.encode())
    if handle in (None, NO_HANDLE):
        raise Unsupported(from_ + " to " + to)
    return handle


def convert(handle, data):
    """(errno or 0, the bytes written, the bytes read) for `data` converted from
    a fresh state; nothing is written where the converter holds characters back
    (to compose them with what follows, as CP1255's does)."""
    libc.iconv(handle, None, None, None, None)
    source = ctypes.create_string_buffer(data, len(data))
    target = ctypes.create_string_buffer(4 * len(data) + 64)
    put = ctypes.c_void_p(ctypes.addressof(target))
    put0 = put.value
    at = ctypes.c_void_p(ctypes.addressof(source))
    left, room = ctypes.c_size_t(len(data)), ctypes.c_size_t(len(target))
    status = 0
    if libc.iconv(handle, ctypes.byref(at), ctypes.byref(left), ctypes.byref(put), ctypes.byref(room)) == FAILED:
        status = ctypes.get_errno()
    return status, target.raw[: put.value - put0], len(data) - left.value


def decoder(name):
    """The rows of a character set: for each byte, its character, the row that
    its sequence goes on in, or None where no sequence continues so."""
    handle = open_("UTF-32LE", name)
    rows = []

    def probe(prefix):
        index = len(rows)
        rows.append(None)
        row = [None] * 256
        for byte in range(256):
            sequence = prefix + bytes([byte])
            status, out, _ = convert(handle, sequence)
            if status == 0:
                if len(out) != 4:
                    raise Unsupported(name + " keeps a state or makes several characters of " + sequence.hex())
                c = int.from_bytes(out, "little")
                if c > 0xFFFF or 0xD800 <= c < 0xE000 or c == 0xFFFF:
                    raise Unsupported(name + " has characters past the Basic Multilingual Plane")
                row[byte] = c
            elif status == errno.EINVAL:
                if len(sequence) == 3 or len(rows) > 1024:
                    raise Unsupported(name + " has sequences of four bytes")
                row[byte] = ("row", probe(sequence))
        rows[index] = row
        return index

    probe(b"")
    return rows


def sequences(rows):
    """Every (sequence, character) in the order the Windows iconv walks them:
    row by row, byte by byte, a continued sequence where it begins."""
    out = []

    def walk(index, prefix):
        for byte, value in enumerate(rows[index]):
            if isinstance(value, tuple):
                walk(value[1], prefix + bytes([byte]))
            elif value is not None:
                out.append((prefix + bytes([byte]), value))

    walk(0, b"")
    return out


def exceptions(name, rows):
    """The characters whose bytes glibc chooses otherwise than the first
    sequence that decodes to them (or has none for): (character, bytes or b"")."""
    first = {}
    for sequence, c in sequences(rows):
        first.setdefault(c, sequence)
    out = []
    for c, got in encoded(open_(name, "UTF-32LE"), len(rows) == 1):
        if got != first.get(c, b""):
            out.append((c, got))
    return out


def encoded(handle, single_byte):
    """glibc's bytes for every character of the Basic Multilingual Plane (some
    encode to bytes that decode to another), or b"" where it has none: for a
    single-byte character set, a run of characters to a call, up to the first
    it has none for."""
    chars = [c for c in range(0x10000) if not 0xD800 <= c < 0xE000]
    source = ctypes.create_string_buffer(b"".join(c.to_bytes(4, "little") for c in chars), 4 * len(chars))
    target = ctypes.create_string_buffer(4 * len(chars))
    k = 0
    while k < len(chars):
        count = min(len(chars) - k, 64) if single_byte else 1
        libc.iconv(handle, None, None, None, None)
        at, put = ctypes.c_void_p(ctypes.addressof(source) + 4 * k), ctypes.c_void_p(ctypes.addressof(target))
        left, room = ctypes.c_size_t(4 * count), ctypes.c_size_t(len(target))
        failed = libc.iconv(handle, ctypes.byref(at), ctypes.byref(left), ctypes.byref(put), ctypes.byref(room)) == FAILED
        got = ctypes.string_at(target, put.value - ctypes.addressof(target))
        done = count - left.value // 4
        if single_byte and len(got) != done:
            raise Unsupported("not a byte a character")
        for n in range(done):
            yield chars[k + n], got[n:n + 1] if single_byte else got
        if failed:
            yield chars[k + done], b""
            done += 1
        k += done


def aliases():
    """glibc's names of each character set: upper case, as glibc compares them;
    those of ASCII and UTF-8 are built into glibc, not in its modules' list."""
    names = {"ANSI_X3.4-1968": {"ISO-IR-6", "ANSI_X3.4-1986", "ISO_646.IRV:1991", "ASCII", "ISO646-US", "US-ASCII", "US",
                                "IBM367", "CP367", "CSASCII", "OSF00010020"},
             "UTF-8": {"UTF8", "ISO-10646/UTF8", "ISO-10646/UTF-8", "ISO-IR-193", "OSF05010001"}}
    files = glob.glob("/usr/lib/*/gconv/gconv-modules") + glob.glob("/usr/lib/*/gconv/gconv-modules.d/*.conf") + \
        glob.glob("/usr/lib/gconv/gconv-modules")
    for path in files:
        for line in open(path, encoding="ascii", errors="replace"):
            field = line.split("#")[0].split()
            if len(field) >= 3 and field[0] == "alias":
                names.setdefault(field[2].rstrip("/").upper(), set()).add(field[1].rstrip("/").upper())
    return names


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: charsets.py OUTPUT.c")
    known = aliases()
    cells, rows, excepted, charsets, named, left = [], [], [], [], [], []
    for name in CHARSETS:
        try:
            table = decoder(name)
            extra = exceptions(name, table)
        except Unsupported as e:
            left.append(str(e))
            continue
        first_row = len(rows)
        for row in table:
            used = [b for b in range(256) if row[b] is not None]
            lo, hi = (used[0], used[-1]) if used else (1, 0)
            rows.append((lo, hi, len(cells)))
            for b in range(lo, hi + 1):
                v = row[b]
                cells.append(0xFFFF if v is None else 0xD800 + v[1] if isinstance(v, tuple) else v)
        charsets.append((first_row, len(excepted), len(extra)))
        excepted += extra
        for alias in {name.upper()} | known.get(name.upper(), set()):
            named.append((alias, len(charsets) - 1))
    # UTF-8 is converted by the code itself; its names are glibc's too.
    for alias in {"UTF-8"} | known["UTF-8"]:
        named.append((alias, -1))
    named = sorted(set(n for n in named if libc.iconv_open(b"UTF-8", n[0].encode()) not in (None, NO_HANDLE)))
    with open(sys.argv[1] + ".tmp", "w", encoding="ascii") as out:
        out.write("/* Generated by charsets.py from this machine's glibc; not to be edited. */\n")
        out.write("/* Not taken: " + "; ".join(left) + ". */\n" if left else "")
        out.write('#include "charset_tables.h"\n\n')
        out.write("const uint16_t tav_cells[] = {\n")
        for k in range(0, len(cells), 16):
            out.write("    " + ", ".join("0x%04X" % v for v in cells[k:k + 16]) + ",\n")
        out.write("};\nconst struct tav_row tav_rows[] = {\n")
        for lo, hi, first in rows:
            out.write("    {%d, %d, %d},\n" % (lo, hi, first))
        out.write("};\nconst struct tav_exception tav_exceptions[] = {\n")
        for c, got in excepted:
            out.write("    {0x%04X, %d, {%s}},\n" % (c, len(got), ", ".join(str(b) for b in got.ljust(3, b"\0"))))
        out.write("    {0, 0, {0, 0, 0}}\n};\nconst struct tav_charset tav_charsets[] = {\n")
        for first_row, first_exception, count in charsets:
            out.write("    {%d, %d, %d},\n" % (first_row, first_exception, count))
        out.write("};\nconst struct tav_alias tav_aliases[] = {\n")
        for alias, charset in named:
            out.write('    {"%s", %d},\n' % (alias, charset))
        out.write("};\nconst size_t tav_alias_count = %d;\n" % len(named))
    os.replace(sys.argv[1] + ".tmp", sys.argv[1])


main()
