// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Loads the timer plug-in, runs it and unloads it at once, 200 times:
//   timer_unload PLUGIN
// A timer's thread that outlived the code it runs would crash the process.
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: timer_unload PLUGIN\n");
        return 2;
    }
    for (int round = 0; round < 200; ++round) {
#ifdef _WIN32
        const HMODULE plugin = LoadLibraryA(argv[1]);
        const auto run = plugin ? reinterpret_cast<int (*)(int)>(reinterpret_cast<void*>(GetProcAddress(plugin, "run"))) : nullptr;
#else
        void* plugin = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
        const auto run = plugin ? reinterpret_cast<int (*)(int)>(dlsym(plugin, "run")) : nullptr;
#endif
        if (!run) {
            std::fprintf(stderr, "timer_unload: cannot load %s\n", argv[1]);
            return 1;
        }
        if (run(round) != 0) return 1;
#ifdef _WIN32
        FreeLibrary(plugin);
#else
        dlclose(plugin);
#endif
    }
    return 0;
}
