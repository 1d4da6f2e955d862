#include "tests/support/loaded_libraries.h"

#include <dlfcn.h>

#include <cstdlib>

namespace torvane::testing {

bool IsLoaded(const char* soname) {
  void* handle = dlopen(soname, RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) return false;
  dlclose(handle);  // the look-up took a reference of its own
  return true;
}

BrokenLibrary BrokenLibraryOnSearchPath() {
  const char* search_path = std::getenv("LD_LIBRARY_PATH");
  const std::string folders = search_path != nullptr ? search_path : "";
  if (folders.find("_not_a_library") != std::string::npos) return BrokenLibrary::kNotALibrary;
  if (folders.find("_without_functions") != std::string::npos) {
    return BrokenLibrary::kWithoutFunctions;
  }
  return BrokenLibrary::kNone;
}

}  // namespace torvane::testing
