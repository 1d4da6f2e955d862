#pragma once

#include <memory>
#include <string>

namespace torvane {

// A shared library opened with dlopen and closed when the object ends. A library that could
// not be opened is an empty object whose symbols are all missing.
class SharedLibrary {
 public:
  SharedLibrary() = default;

  // Opens by file name (searched as the dynamic loader searches) or by path.
  static SharedLibrary Open(const std::string& name);

  bool IsOpen() const { return handle_ != nullptr; }

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
};

}  // namespace torvane
