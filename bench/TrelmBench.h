#pragma once
// The bench programs load libTrelm.so by file name, as the program does (their run path points
// at the program folder), and stop with the loader's message when an export is missing.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

template <typename F>
F* trelm(const char* name) {
    void* f = dlsym(dlopen("libTrelm.so", RTLD_NOW), name);
    if (!f) std::fprintf(stderr, "libTrelm.so: %s\n", dlerror()), std::exit(1);
    return reinterpret_cast<F*>(f);
}
