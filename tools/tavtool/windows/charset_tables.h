/* SPDX-License-Identifier: BSL-1.0 */
/* Copyright (c) 2026 The Tav developers */
/* The character sets of tavtool's iconv for Windows, as charsets.py writes
   them from glibc's iconv. A character set's byte sequences are read through
   rows: its first row is taken for the first byte, and a cell is a character,
   0xFFFF where no sequence goes on so, or 0xD800 + k (a surrogate, which is
   no character) where the sequence goes on in the set's row k. */
#ifndef TAV_TOOLS_WINDOWS_CHARSET_TABLES_H
#define TAV_TOOLS_WINDOWS_CHARSET_TABLES_H

#include <stddef.h>
#include <stdint.h>

struct tav_row {
    uint8_t lo, hi;  /* the bytes it has cells for; others end no sequence */
    uint32_t first;  /* the cell of byte lo */
};

/* A character glibc encodes otherwise than as the first sequence (in the order
   of the rows) that decodes to it, or, with no bytes, not at all. */
struct tav_exception {
    uint16_t c;
    uint8_t length;
    uint8_t bytes[3];
};

struct tav_charset {
    uint32_t firstRow, firstException, exceptions;
};

/* glibc's names, in capitals and sorted; charset -1 is UTF-8. */
struct tav_alias {
    const char* name;
    int charset;
};

extern const uint16_t tav_cells[];
extern const struct tav_row tav_rows[];
extern const struct tav_exception tav_exceptions[];
extern const struct tav_charset tav_charsets[];
extern const struct tav_alias tav_aliases[];
extern const size_t tav_alias_count;

#endif
