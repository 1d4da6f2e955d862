#include "core/library_binder.h"

namespace torvane {

LibraryBinder::LibraryBinder(SharedLibrary& library, const char* file, const char* error_source)
    : library_(library), file_(file), error_source_(error_source) {
  library_ = SharedLibrary::Open(file, SharedLibrary::Unload::kNever);
  if (!library_.IsOpen()) Fail(library_.error());
}

Status LibraryBinder::status() const {
  if (error_.empty()) return Status::Ok();
  return Error{0, error_, error_source_};
}

void LibraryBinder::Fail(const std::string& why) {
  error_ = std::string("cannot load ") + file_ + ": " + why;
}

}  // namespace torvane
