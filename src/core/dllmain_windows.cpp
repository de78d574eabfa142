// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// The library's entry point: loading it does nothing beyond making its
// interface available.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
