/* SPDX-License-Identifier: BSL-1.0 */
/* Copyright (c) 2026 The Tav developers */
/* iconv for Windows, which has none: a character at a time, from the source
   character set to a code point and on to the target one, so that an invalid,
   incomplete or unrepresentable character is named where it stands as glibc's
   iconv names it (EILSEQ, EINVAL), and a full output buffer stops before the
   character that does not fit (E2BIG). It knows UTF-8 and ASCII, by glibc's
   rules: no overlong forms, no surrogates, nothing past U+10FFFF. Windows'
   own code pages are no substitute: their tables differ from glibc's (Greek,
   Hebrew, Ukrainian letters; bytes glibc refuses), and a locale file made on
   Windows must have the bytes the Linux tool writes. */
#include "iconv.h"

#include <errno.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

enum charset { UTF8 = 1, ASCII };

struct tav_iconv {
    enum charset from, to;
};

/* A name is compared in capitals, without '-', '_', '.', ':' and spaces, as
   glibc compares its aliases. */
static enum charset charsetNamed(const char* name) {
    static const struct {
        const char* name;
        enum charset charset;
    } names[] = {{"UTF8", UTF8}, {"ASCII", ASCII}, {"USASCII", ASCII}, {"ANSIX341968", ASCII}, {"646", ASCII}};
    char plain[16];
    size_t n = 0;
    for (; *name && n + 1 < sizeof plain; ++name)
        if (!strchr("-_.: ", *name)) plain[n++] = (char)(*name >= 'a' && *name <= 'z' ? *name - 'a' + 'A' : *name);
    if (*name) return 0;
    plain[n] = '\0';
    for (size_t i = 0; i < sizeof names / sizeof names[0]; ++i)
        if (strcmp(plain, names[i].name) == 0) return names[i].charset;
    return 0;
}

/* One character's code point: its bytes' count, 0 where the bytes begin a
   character but end before it does, -1 where they are none. */
static int decode(enum charset from, const unsigned char* s, size_t n, uint32_t* c) {
    if (s[0] < 0x80) {
        *c = s[0];
        return 1;
    }
    if (from == ASCII) return -1;
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
        const unsigned char lo = k > 1 ? 0x80 : s[0] == 0xE0 ? 0xA0 : s[0] == 0xF0 ? 0x90 : 0x80;
        const unsigned char hi = k > 1 ? 0xBF : s[0] == 0xED ? 0x9F : s[0] == 0xF4 ? 0x8F : 0xBF;
        if (s[k] < lo || s[k] > hi) return -1;
        *c = *c << 6 | (s[k] & 0x3F);
    }
    if (*c > 0x10FFFF) return -1;
    return (int)need;
}

/* The target's bytes for a code point; -1 where it has none. */
static int encode(enum charset to, uint32_t c, unsigned char* out) {
    if (c < 0x80) {
        out[0] = (unsigned char)c;
        return 1;
    }
    if (to == ASCII) return -1;
    const int len = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    for (int k = len - 1; k > 0; --k, c >>= 6) out[k] = (unsigned char)(0x80 | (c & 0x3F));
    out[0] = (unsigned char)((0xF00 >> len) | c);
    return len;
}

iconv_t iconv_open(const char* to, const char* from) {
    const enum charset t = charsetNamed(to), f = charsetNamed(from);
    if (!t || !f) {
        errno = EINVAL;
        return (iconv_t)-1;
    }
    iconv_t cd = malloc(sizeof *cd);
    if (!cd) {
        errno = ENOMEM;
        return (iconv_t)-1;
    }
    cd->from = f;
    cd->to = t;
    return cd;
}

size_t iconv(iconv_t cd, char** in, size_t* inLeft, char** out, size_t* outLeft) {
    if (!in || !*in) return 0; /* no shift state to return to or to end */
    while (*inLeft) {
        uint32_t c = 0;
        unsigned char bytes[4];
        const int len = decode(cd->from, (const unsigned char*)*in, *inLeft, &c);
        const int outLen = len > 0 ? encode(cd->to, c, bytes) : -1;
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
    free(cd);
    return 0;
}
