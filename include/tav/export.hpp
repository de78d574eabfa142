// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

/// TAV_API marks what the shared library exports; everything else stays hidden.
/// Define TAV_API yourself beforehand to override it (for example when linking
/// the sources into a program directly). A static build of the library defines
/// TAV_STATIC for itself and its users, and TAV_API is then empty.
#ifndef TAV_API
#  if defined(TAV_STATIC)
#    define TAV_API
#  elif defined(_WIN32)
#    if defined(TAV_BUILDING)
#      define TAV_API __declspec(dllexport)
#    else
#      define TAV_API __declspec(dllimport)
#    endif
#  else
#    define TAV_API __attribute__((visibility("default")))
#  endif
#endif
