/* SPDX-License-Identifier: BSL-1.0 */
/* Copyright (c) 2026 The Tav developers */
/* iconv's three functions for Windows, which has none: conversions between
   the character sets that Windows has code pages for (iconv_windows.c). Both
   tavtool and the PO reader it links (libgettextpo, which checks a catalogue's
   multibyte characters through iconv) take their conversions from it. */
#ifndef TAV_TOOLS_WINDOWS_ICONV_H
#define TAV_TOOLS_WINDOWS_ICONV_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct tav_iconv* iconv_t;

/* Said where a conversion cannot be made. */
#define TAV_ICONV_LIMITS                                                                                      \
    ": this Windows build converts UTF-8 and ASCII only; the Linux build of tavtool converts every character " \
    "set glibc has"

iconv_t iconv_open(const char* to, const char* from);
size_t iconv(iconv_t cd, char** in, size_t* inLeft, char** out, size_t* outLeft);
int iconv_close(iconv_t cd);

#ifdef __cplusplus
}
#endif

#endif
