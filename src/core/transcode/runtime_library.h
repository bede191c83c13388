// Libraries opened when a feature first needs them rather than linked: each of these brings
// dozens of others into every process that maps it, for a feature most runs never use.
#pragma once

#include <dlfcn.h>

#include <string>

namespace quelt {

// Opens `soname` for the rest of the process (never closed, as if it were linked), or
// returns nullptr.
inline void* OpenRuntimeLibrary(const std::string& soname) {
    return dlopen(soname.c_str(), RTLD_NOW | RTLD_LOCAL);
}

// Looks `name` up in `library` and stores it in `function`; false when it is missing.
template <typename Function>
bool ResolveSymbol(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

}  // namespace quelt
