#pragma once

#include <string>
#include <type_traits>

#include "core/result.h"
#include "core/shared_library.h"

namespace torvane {

// Opens a library that stays mapped for the life of the process and fills a table of its
// functions. The first failure is kept and later look-ups are skipped, so the error names the
// library and why it cannot be used: "cannot load libzip.so.4: it has no function zip_open".
class LibraryBinder {
 public:
  // `file` is searched as the dynamic loader searches; `error_source` goes into the Error.
  LibraryBinder(SharedLibrary& library, const char* file, const char* error_source);

  template <typename Pointer>
  void Bind(Pointer& slot, const char* symbol) {
    if (!error_.empty()) return;
    slot = library_.Find<std::remove_pointer_t<Pointer>>(symbol);
    if (slot == nullptr) Fail(std::string("it has no function ") + symbol);
  }

  Status status() const;

 private:
  void Fail(const std::string& why);

  SharedLibrary& library_;
  const char* file_;
  const char* error_source_;
  std::string error_;
};

}  // namespace torvane
