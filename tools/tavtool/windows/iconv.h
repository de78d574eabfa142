/* SPDX-License-Identifier: BSL-1.0 */
/* Copyright (c) 2026 The Tav developers */
/* iconv's three functions for Windows, which has none, converting as glibc's
   do (iconv_windows.c). Both tavtool and the PO reader it links (libgettextpo,
   which checks a catalogue's multibyte characters through iconv) take their
   conversions from it. */
#ifndef TAV_TOOLS_WINDOWS_ICONV_H
#define TAV_TOOLS_WINDOWS_ICONV_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct tav_iconv* iconv_t;

/* Said where a conversion cannot be made. */
#define TAV_ICONV_LIMITS                                                                                          \
    ": the Windows build of tavtool converts no character set that keeps a state, has four-byte characters or " \
    "makes two characters of one (charsets.py names them); the Linux build converts every one glibc has"

iconv_t iconv_open(const char* to, const char* from);
size_t iconv(iconv_t cd, char** in, size_t* inLeft, char** out, size_t* outLeft);
int iconv_close(iconv_t cd);

#ifdef __cplusplus
}
#endif

#endif
