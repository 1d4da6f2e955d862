#include "core/shared_library.h"

#include <dlfcn.h>

namespace torvane {

SharedLibrary SharedLibrary::Open(const std::string& name) {
  SharedLibrary library;
  if (!name.empty()) library.handle_.reset(dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL));
  return library;
}

void SharedLibrary::Close::operator()(void* handle) const noexcept { dlclose(handle); }

void* SharedLibrary::Address(const char* symbol) const {
  return handle_ ? dlsym(handle_.get(), symbol) : nullptr;
}

}  // namespace torvane
