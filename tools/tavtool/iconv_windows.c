/* SPDX-License-Identifier: BSL-1.0 */
/* Copyright (c) 2026 The Tav developers */
/* iconv for Windows, which has none: a character at a time, from the source
   character set to a code point and on to the target one, so that an invalid,
   incomplete or unrepresentable character is named where it stands as glibc's
   iconv names it (EILSEQ, EINVAL), and a full output buffer stops before the
   character that does not fit (E2BIG). UTF-8 is converted here by glibc's
   rules; every other character set through the tables charsets.py takes from
   glibc itself. Windows' own code pages are no substitute: their tables differ
   from glibc's (Greek, Hebrew and Ukrainian letters, the bytes glibc refuses),
   and a locale file made on Windows must have the bytes the Linux tool writes. */
#include "iconv.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include "charset_tables.h"

#define UTF8 (-1)

/* A character and the bytes a character set has for it; `order` ranks the
   ways to write one character: glibc's choice first, then the rows' order. */
struct encoding {
    uint32_t c, order;
    uint8_t length, bytes[3];
};

struct tav_iconv {
    int from, to;
    struct encoding* inverse; /* the target's characters, sorted; none for UTF-8 */
    size_t count;
};

static int byName(const void* key, const void* alias) {
    return strcmp(key, ((const struct tav_alias*)alias)->name);
}

/* glibc's names, in any case; a name with "//TRANSLIT" or "//IGNORE" asks for
   what this iconv does not do. */
static int charsetNamed(const char* name, int* charset) {
    char upper[64];
    size_t n = strlen(name);
    if (n >= 2 && name[n - 2] == '/' && name[n - 1] == '/') n -= 2;
    if (n >= sizeof upper) return 0;
    for (size_t k = 0; k < n; ++k) upper[k] = (char)(name[k] >= 'a' && name[k] <= 'z' ? name[k] - 'a' + 'A' : name[k]);
    upper[n] = '\0';
    const struct tav_alias* alias = bsearch(upper, tav_aliases, tav_alias_count, sizeof *tav_aliases, byName);
    if (alias) *charset = alias->charset;
    return alias != NULL;
}

/* One character's code point: its bytes' count, 0 where the bytes begin a
   character but end before it does, -1 where they are none. */
static int decodeUtf8(const unsigned char* s, size_t n, uint32_t* c) {
    if (s[0] < 0x80) {
        *c = s[0];
        return 1;
    }
    /* Like glibc, bytes that may still become a character (up to six, as UTF-8
       once had) are incomplete, whatever their value will turn out to be. */
    const size_t need = s[0] < 0xC2 ? 0 : s[0] <= 0xDF ? 2 : s[0] <= 0xEF ? 3 : s[0] <= 0xF7 ? 4
                      : s[0] <= 0xFB ? 5 : s[0] <= 0xFD ? 6 : 0;
    if (!need) return -1;
    if (n < need) {
        for (size_t k = 1; k < n; ++k)
            if ((s[k] & 0xC0) != 0x80) return -1;
        return 0;
    }
    if (need > 4) return -1;
    *c = s[0] & (0x7F >> need);
    for (size_t k = 1; k < need; ++k) {
        /* no overlong forms, no surrogates, nothing past U+10FFFF */
        const unsigned char lo = k > 1 ? 0x80 : s[0] == 0xE0 ? 0xA0 : s[0] == 0xF0 ? 0x90 : 0x80;
        const unsigned char hi = k > 1 ? 0xBF : s[0] == 0xED ? 0x9F : s[0] == 0xF4 ? 0x8F : 0xBF;
        if (s[k] < lo || s[k] > hi) return -1;
        *c = *c << 6 | (s[k] & 0x3F);
    }
    return (int)need;
}

static int decode(int charset, const unsigned char* s, size_t n, uint32_t* c) {
    if (charset == UTF8) return decodeUtf8(s, n, c);
    const struct tav_row* row = &tav_rows[tav_charsets[charset].firstRow];
    for (size_t k = 0; k < n; ++k) {
        if (s[k] < row->lo || s[k] > row->hi) return -1;
        const uint16_t cell = tav_cells[row->first + s[k] - row->lo];
        if (cell == 0xFFFF) return -1;
        if (cell < 0xD800 || cell >= 0xE000) {
            *c = cell;
            return (int)k + 1;
        }
        row = &tav_rows[tav_charsets[charset].firstRow + (cell - 0xD800)];
    }
    return 0;
}

static int byCharacter(const void* a, const void* b) {
    const struct encoding *x = a, *y = b;
    return x->c != y->c ? (x->c < y->c ? -1 : 1) : 0;
}

static int byCharacterAndOrder(const void* a, const void* b) {
    const struct encoding *x = a, *y = b;
    return byCharacter(a, b) ? byCharacter(a, b) : x->order != y->order ? (x->order < y->order ? -1 : 1) : 0;
}

/* The target's bytes for a code point; -1 where it has none. */
static int encode(const struct tav_iconv* cd, uint32_t c, unsigned char* out) {
    if (cd->to == UTF8) {
        const int len = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (len == 1) {
            out[0] = (unsigned char)c;
            return 1;
        }
        for (int k = len - 1; k > 0; --k, c >>= 6) out[k] = (unsigned char)(0x80 | (c & 0x3F));
        out[0] = (unsigned char)((0xF00 >> len) | c);
        return len;
    }
    const struct encoding key = {c, 0, 0, {0}};
    const struct encoding* found = bsearch(&key, cd->inverse, cd->count, sizeof key, byCharacter);
    if (!found || !found->length) return -1;
    memcpy(out, found->bytes, found->length);
    return found->length;
}

/* Every sequence the rows from `row` on decode, after `prefix`. */
static void gather(struct tav_iconv* cd, uint32_t row, const uint8_t* prefix, uint8_t length) {
    const struct tav_charset* set = &tav_charsets[cd->to];
    const struct tav_row* r = &tav_rows[set->firstRow + row];
    for (unsigned b = r->lo; b <= r->hi; ++b) {
        const uint16_t cell = tav_cells[r->first + b - r->lo];
        struct encoding e = {cell, 0, (uint8_t)(length + 1), {0}};
        memcpy(e.bytes, prefix, length);
        e.bytes[length] = (uint8_t)b;
        if (cell >= 0xD800 && cell < 0xE000) {
            gather(cd, cell - 0xD800u, e.bytes, e.length);
        } else if (cell != 0xFFFF && cd->inverse) {
            e.order = (uint32_t)++cd->count;
            cd->inverse[cd->count - 1] = e;
        } else if (cell != 0xFFFF) {
            ++cd->count;
        }
    }
}

/* The table from characters to the target's bytes: glibc's exceptions, then
   every sequence in the rows' order, sorted; the first of a character wins. */
static int invert(struct tav_iconv* cd) {
    const struct tav_charset* set = &tav_charsets[cd->to];
    gather(cd, 0, NULL, 0); /* counted */
    cd->inverse = malloc((cd->count + set->exceptions) * sizeof *cd->inverse);
    if (!cd->inverse) return 0;
    cd->count = 0;
    gather(cd, 0, NULL, 0);
    for (uint32_t k = 0; k < set->exceptions; ++k) {
        const struct tav_exception* x = &tav_exceptions[set->firstException + k];
        struct encoding e = {x->c, 0, x->length, {x->bytes[0], x->bytes[1], x->bytes[2]}};
        cd->inverse[cd->count++] = e;
    }
    qsort(cd->inverse, cd->count, sizeof *cd->inverse, byCharacterAndOrder);
    size_t kept = 0;
    for (size_t k = 0; k < cd->count; ++k)
        if (!kept || cd->inverse[kept - 1].c != cd->inverse[k].c) cd->inverse[kept++] = cd->inverse[k];
    cd->count = kept;
    return 1;
}

iconv_t iconv_open(const char* to, const char* from) {
    iconv_t cd = calloc(1, sizeof *cd);
    if (!cd) {
        errno = ENOMEM;
        return (iconv_t)-1;
    }
    if (!charsetNamed(to, &cd->to) || !charsetNamed(from, &cd->from)) {
        free(cd);
        errno = EINVAL;
        return (iconv_t)-1;
    }
    if (cd->to != UTF8 && !invert(cd)) {
        free(cd);
        errno = ENOMEM;
        return (iconv_t)-1;
    }
    return cd;
}

size_t iconv(iconv_t cd, char** in, size_t* inLeft, char** out, size_t* outLeft) {
    if (!in || !*in) return 0; /* no shift state to return to or to end */
    while (*inLeft) {
        uint32_t c = 0;
        unsigned char bytes[4];
        const int len = decode(cd->from, (const unsigned char*)*in, *inLeft, &c);
        const int outLen = len > 0 ? encode(cd, c, bytes) : -1;
        if (outLen < 0) {
            errno = len == 0 ? EINVAL : EILSEQ;
            return (size_t)-1;
        }
        if ((size_t)outLen > *outLeft) {
            errno = E2BIG;
            return (size_t)-1;
        }
        memcpy(*out, bytes, (size_t)outLen);
        *out += outLen;
        *outLeft -= (size_t)outLen;
        *in += len;
        *inLeft -= (size_t)len;
    }
    return 0;
}

int iconv_close(iconv_t cd) {
    free(cd->inverse);
    free(cd);
    return 0;
}
