#include "loader/LibraryLoader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/Catalogue.h"
#include "platform/FileAccess.h"

extern "C" {
// The slots of the entry points, in the order of the list; each holds its function's address
// once the library is open.
extern void* gw_library_slots[];
__attribute__((visibility("hidden"))) void* gw_library_resolve(unsigned slot);
}

namespace gw::loader {
namespace {

struct Library {
    const char* file;
    void* handle = nullptr;
    bool failed = false;
};

struct Function {
    int library;
    const char* name;
};

#define GW_LIBRARY(file) {file},
#define GW_FUNCTION(library, name)
Library g_libraries[] = {
#include "LibraryTable.inc"
};
#undef GW_LIBRARY
#undef GW_FUNCTION

#define GW_LIBRARY(file)
#define GW_FUNCTION(library, name) {library, name},
constexpr Function kFunctions[] = {
#include "LibraryTable.inc"
};
#undef GW_LIBRARY
#undef GW_FUNCTION

// One library is opened at a time (the dynamic loader takes its own lock anyway); a second
// thread calling into a library being opened waits here and then finds its slot filled.
std::mutex g_opening;

// The tests make a library unloadable by naming its file here.
bool RefusedForTesting(const char* file) {
    const char* refused = std::getenv("GLYPHWERK_UNLOADABLE_LIBRARY");
    return refused && std::strcmp(refused, file) == 0;
}

// Opens the library once and fills the slots of all its functions; null when it cannot be
// opened. Called with g_opening held.
void* Open(int index) {
    Library& library = g_libraries[index];
    if (library.handle || library.failed) return library.handle;
    void* handle = RefusedForTesting(library.file) ? nullptr : ::dlopen(library.file, RTLD_LAZY);
    if (!handle) {
        library.failed = true;
        return nullptr;
    }
    unsigned slot = 0;
    for (const Function& function : kFunctions) {
        if (function.library == index)
            if (void* address = ::dlsym(handle, function.name))
                __atomic_store_n(&gw_library_slots[slot], address, __ATOMIC_RELEASE);
        ++slot;
    }
    library.handle = handle;
    return handle;
}

// Without the library the run cannot go on: the message, the temporaries of the outputs removed,
// and the end with the exit code of a file error. No unwinding, no exit handlers: the call may
// come from any thread, deep inside a render.
[[noreturn]] void EndWithout(const std::string& message) {
    const std::string line = "glyphwerk-render: " + message + "\n";
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, line.data(), line.size());
    RemoveTemporaries();
    ::_exit(1);
}

}  // namespace

void OpenLibraries(std::initializer_list<const char*> files) {
    const std::lock_guard lock(g_opening);
    for (const char* file : files)
        for (int i = 0; file && i < int(std::size(g_libraries)); ++i)
            if (std::strcmp(g_libraries[i].file, file) == 0) Open(i);
}

}  // namespace gw::loader

// The first call of a function, from its entry point: the address to go on to.
void* gw_library_resolve(unsigned slot) {
    using namespace gw::loader;
    using gw::catalogue::Fill;
    using gw::catalogue::Tr;
    const Function& function = kFunctions[slot];
    const char* file = g_libraries[function.library].file;
    void* handle = nullptr;
    void* address = nullptr;
    {
        const std::lock_guard lock(g_opening);
        handle = Open(function.library);
        if (handle) address = ::dlsym(handle, function.name);
    }
    if (!handle)
        EndWithout(Fill(Tr("Die Bibliothek %1 fehlt oder lässt sich nicht laden; ohne sie kann "
                           "glyphwerk-render nicht weiterarbeiten."),
                        {file}));
    if (!address)
        EndWithout(Fill(Tr("Der Bibliothek %1 fehlt die Funktion %2; sie ist wohl zu alt."),
                        {file, function.name}));
    return address;
}
