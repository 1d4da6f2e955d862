#include "core/shared_library.h"

#include <dlfcn.h>

namespace torvane {

SharedLibrary SharedLibrary::Open(const std::string& name, Unload unload) {
  SharedLibrary library;
  if (name.empty()) {
    library.error_ = "no library named";
    return library;
  }
  const int flags = RTLD_NOW | RTLD_LOCAL | (unload == Unload::kNever ? RTLD_NODELETE : 0);
  library.handle_.reset(dlopen(name.c_str(), flags));
  if (!library.handle_) {
    const char* error = dlerror();
    library.error_ = error != nullptr ? error : "cannot open " + name;
  }
  return library;
}

void SharedLibrary::Close::operator()(void* handle) const noexcept { dlclose(handle); }

void* SharedLibrary::Address(const char* symbol) const {
  return handle_ ? dlsym(handle_.get(), symbol) : nullptr;
}

}  // namespace torvane
