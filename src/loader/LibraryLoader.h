#pragma once
// The renderer opens the font, picture and compression libraries when it first calls into them
// (see LibraryStubs.cmake): a run that writes a PNG never opens the JPEG or WebP library, and
// one that prints its help opens none. Where the program links them the usual way (the window,
// the tests, a sanitizer build, other processors) these calls do nothing.

#include <initializer_list>

namespace gw::loader {

#if defined(GLYPHWERK_OPENS_LIBRARIES)
// Opens the libraries (by file name, as in libraries.txt) now, so that their first calls find
// them ready; a library that cannot be opened is left for its first call to report. Safe from
// any thread.
void OpenLibraries(std::initializer_list<const char*> files);
#else
inline void OpenLibraries(std::initializer_list<const char*>) {}
#endif

}  // namespace gw::loader
