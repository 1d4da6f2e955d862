#pragma once

#include <memory>
#include <string>

namespace torvane {

// A shared library opened with dlopen and closed when the object ends. A library that could
// not be opened is an empty object whose symbols are all missing.
class SharedLibrary {
 public:
  // Whether closing the library may unmap its code. A library whose functions may still be
  // called while the process exits (from a host's static objects, say) stays mapped.
  enum class Unload { kOnClose, kNever };

  SharedLibrary() = default;

  // Opens by file name (searched as the dynamic loader searches) or by path.
  static SharedLibrary Open(const std::string& name, Unload unload = Unload::kOnClose);

  bool IsOpen() const { return handle_ != nullptr; }

  // Why the library could not be opened, in the dynamic loader's words; empty when it is open.
  const std::string& error() const { return error_; }

  // The address of an exported function, or nullptr when the library lacks it.
  template <typename Function>
  Function* Find(const char* symbol) const {
    return reinterpret_cast<Function*>(Address(symbol));
  }

 private:
  struct Close {
    void operator()(void* handle) const noexcept;
  };

  void* Address(const char* symbol) const;

  std::unique_ptr<void, Close> handle_;
  std::string error_;
};

}  // namespace torvane
