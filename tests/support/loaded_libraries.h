#pragma once

#include <string>

namespace torvane::testing {

// Whether a library of this soname is in the process already; loads nothing.
bool IsLoaded(const char* soname);

// The broken stand-in that ctest puts first on the search path of the programs that test a
// library that cannot be loaded (LD_LIBRARY_PATH names a folder ending so): a file that is no
// library at all, or a library without the functions asked for. kNone when run otherwise.
enum class BrokenLibrary { kNone, kNotALibrary, kWithoutFunctions };
BrokenLibrary BrokenLibraryOnSearchPath();

}  // namespace torvane::testing
