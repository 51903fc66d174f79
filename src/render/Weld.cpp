// The weld is libpolyclipping's union. The library is C++ and would bring the shared C++ runtime
// into every renderer start, which the renderer avoids by carrying its own (see CMakeLists.txt):
// so, like cairo, it is opened when the first cut file is made, and its four functions are
// called by their linker names with the object as their first argument.

#include "render/Weld.h"

#include <dlfcn.h>
#include <clipper.hpp>

#include <cmath>
#include <new>

#include "platform/AllocationLimit.h"
#include "platform/Catalogue.h"

namespace gw {

namespace {

// A thousandth of a picture pixel: integers for the library, a hundred times finer than the
// outlines are flattened.
constexpr double kUnitsPerPixel = 1000;
// Well inside the library's range, which it would answer with an exception.
constexpr double kLargestUnits = 1e15;

struct PolygonLibrary {
    void (*construct)(ClipperLib::Clipper*, int) = nullptr;
    void (*destroy)(ClipperLib::Clipper*) = nullptr;
    bool (*addPaths)(ClipperLib::ClipperBase*, const ClipperLib::Paths&, ClipperLib::PolyType,
                     bool) = nullptr;
    bool (*execute)(ClipperLib::Clipper*, ClipperLib::ClipType, ClipperLib::Paths&,
                    ClipperLib::PolyFillType, ClipperLib::PolyFillType) = nullptr;
};

const PolygonLibrary* LoadPolygonLibrary() {
    static const PolygonLibrary* const loaded = []() -> const PolygonLibrary* {
        void* library = dlopen("libpolyclipping.so.22", RTLD_NOW | RTLD_LOCAL);
        if (!library) return nullptr;
        static PolygonLibrary table;
        const auto find = [library](auto& function, const char* name) {
            function =
                reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
            return function != nullptr;
        };
        const bool complete =
            find(table.construct, "_ZN10ClipperLib7ClipperC1Ei") &&
            find(table.destroy, "_ZN10ClipperLib7ClipperD1Ev") &&
            find(table.addPaths,
                 "_ZN10ClipperLib11ClipperBase8AddPathsERKSt6vectorIS1_INS_8IntPointESaIS2_EESaIS4_"
                 "EENS_8PolyTypeEb") &&
            find(table.execute,
                 "_ZN10ClipperLib7Clipper7ExecuteENS_8ClipTypeERSt6vectorIS2_INS_8IntPointESaIS3_"
                 "EESaIS5_EENS_12PolyFillTypeES9_");
        return complete ? &table : nullptr;
    }();
    return loaded;
}

// The library's object in storage of our own, destroyed with it. Its type's run-time type
// information lives in the library, which is not linked: the sanitizers' check of dynamic types
// would need it, so these few lines go unchecked.
#define GW_UNCHECKED_TYPE __attribute__((no_sanitize("vptr")))
class Union {
  public:
    GW_UNCHECKED_TYPE explicit Union(const PolygonLibrary& library) : library_(library) {
        library_.construct(Object(), 0);
    }
    GW_UNCHECKED_TYPE ~Union() { library_.destroy(Object()); }
    Union(const Union&) = delete;
    Union& operator=(const Union&) = delete;

    GW_UNCHECKED_TYPE bool Run(const ClipperLib::Paths& paths, ClipperLib::Paths& united) {
        ClipperLib::ClipperBase* base = Object();
        return library_.addPaths(base, paths, ClipperLib::ptSubject, true) &&
               library_.execute(Object(), ClipperLib::ctUnion, united, ClipperLib::pftNonZero,
                                ClipperLib::pftNonZero);
    }

  private:
    GW_UNCHECKED_TYPE ClipperLib::Clipper* Object() {
        return std::launder(reinterpret_cast<ClipperLib::Clipper*>(storage_));
    }

    const PolygonLibrary& library_;
    alignas(ClipperLib::Clipper) unsigned char storage_[sizeof(ClipperLib::Clipper)];
};

}  // namespace

bool WeldContours(const VectorLetters& letters, VectorLetters& welded, std::string& error) {
    welded.contours.clear();
    const PolygonLibrary* library = LoadPolygonLibrary();
    if (!library) {
        error = catalogue::Tr(
            "Umrisse verschmilzt die Bibliothek libpolyclipping (libpolyclipping22), "
            "die hier fehlt.");
        return false;
    }
    ClipperLib::Paths paths;
    paths.reserve(letters.contours.size());
    for (const VectorContour& contour : letters.contours) {
        if (contour.size() < 3) continue;
        ClipperLib::Path path;
        path.reserve(contour.size());
        for (const VectorPoint& p : contour) {
            const double x = std::round(p.x * kUnitsPerPixel), y = std::round(p.y * kUnitsPerPixel);
            if (!(std::abs(x) <= kLargestUnits && std::abs(y) <= kLargestUnits)) {
                error = catalogue::Tr(
                    "Die Umrisse der Buchstaben liegen zu weit außerhalb des Bildes.");
                return false;
            }
            path.emplace_back(ClipperLib::cInt(x), ClipperLib::cInt(y));
        }
        paths.push_back(std::move(path));
    }
    ClipperLib::Paths united;
    if (!paths.empty()) {
        // The library answers a want of memory with an exception from its own runtime.
        bool done = false;
        try {
            Union weld(*library);
            done = weld.Run(paths, united);
        } catch (...) {
            NoteAllocationFailure();
            error = kOutOfMemoryMessage;
            return false;
        }
        if (!done) {
            error = catalogue::Tr("Die Umrisse der Buchstaben konnten nicht verschmolzen werden.");
            return false;
        }
    }
    welded.contours.reserve(united.size());
    for (const ClipperLib::Path& path : united) {
        VectorContour contour;
        contour.reserve(path.size());
        for (const ClipperLib::IntPoint& p : path)
            contour.push_back({double(p.X) / kUnitsPerPixel, double(p.Y) / kUnitsPerPixel});
        welded.contours.push_back(std::move(contour));
    }
    return true;
}

}  // namespace gw
