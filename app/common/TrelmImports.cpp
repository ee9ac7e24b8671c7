// Loading libTrelm.so on first use and looking exports up by name.
#include "app/common/TrelmImports.h"

#include "platform/kernel/Paths.h"

#include <dlfcn.h>

#include <cstring>
#include <string>

namespace Trelm {
namespace {

std::string gLibraryFile = "libTrelm.so";
void* gLibrary = nullptr;
unsigned gGeneration = 1;

std::string lastLoaderError() {
    const char* e = dlerror();
    return e ? e : "unknown loader error";
}

void* loadLibrary() {
    if (gLibrary) return gLibrary;
    // The program folder first, as the original found its library beside the executable.
    const std::string inProgramFolder = qv::kernel::programFolder() + "/" + gLibraryFile;
    if (qv::kernel::isRegularFile(inProgramFolder)) {
        gLibrary = dlopen(inProgramFolder.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!gLibrary)
            qv::basic::raiseError(qv::basic::errDllLoad,
                                  "Error in loading DLL " + inProgramFolder + ": " + lastLoaderError());
        return gLibrary;
    }
    gLibrary = dlopen(gLibraryFile.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!gLibrary) {
        const std::string why = lastLoaderError();
        if (why.find("No such file") != std::string::npos)
            qv::basic::raiseError(qv::basic::errFileNotFound, "File not found: " + gLibraryFile);
        qv::basic::raiseError(qv::basic::errDllLoad, "Error in loading DLL " + gLibraryFile + ": " + why);
    }
    return gLibrary;
}

}  // namespace

namespace detail {

void* resolve(const char* name) {
    void* lib = loadLibrary();
    dlerror();
    void* fn = dlsym(lib, name);
    if (!fn)
        qv::basic::raiseError(qv::basic::errEntryPointNotFound,
                              std::string("Can't find DLL entry point ") + name + " in " + gLibraryFile);
    return fn;
}

unsigned generation() { return gGeneration; }

}  // namespace detail

namespace binding {

void setLibraryFile(std::string_view fileName) {
    reset();
    gLibraryFile = fileName.empty() ? "libTrelm.so" : std::string(fileName);
}

bool isLoaded() { return gLibrary != nullptr; }

void reset() {
    if (gLibrary) dlclose(gLibrary);
    gLibrary = nullptr;
    ++gGeneration;
}

}  // namespace binding
}  // namespace Trelm
