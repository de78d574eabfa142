// The library's entry point: loading it does nothing beyond making its
// interface available.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
