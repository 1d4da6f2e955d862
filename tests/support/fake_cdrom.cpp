#include "tests/support/fake_cdrom.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

namespace torvane::testing {

std::string FakeRacLibrary() { return TORVANE_FAKE_RAC_LIBRARY; }
std::string FakeHamCallLibrary() { return TORVANE_FAKE_HAMCALL_LIBRARY; }
std::string FakeQrzLibrary() { return TORVANE_FAKE_QRZ_LIBRARY; }
std::string FakeQrzLibraryWithoutField() { return TORVANE_FAKE_QRZ_WITHOUT_FIELD_LIBRARY; }

void FakeCdrom::Close::operator()(void* handle) const noexcept { dlclose(handle); }

FakeCdrom::FakeCdrom(const std::string& path)
    : path_(path), handle_(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
  if (!handle_) throw std::runtime_error("cannot open the fake library " + path);
  reinterpret_cast<void (*)()>(Symbol("FakeCdromReset"))();
}

void* FakeCdrom::Symbol(const char* name) const {
  void* address = dlsym(handle_.get(), name);
  if (address == nullptr) throw std::runtime_error(std::string("the fake lacks ") + name);
  return address;
}

void FakeCdrom::Answer(const std::string& callsign, std::string_view bytes,
                       std::int32_t result) const {
  using Function = void(const char*, const char*, std::int32_t, std::int32_t);
  reinterpret_cast<Function*>(Symbol("FakeCdromAnswer"))(
      callsign.c_str(), bytes.data(), static_cast<std::int32_t>(bytes.size()), result);
}

void FakeCdrom::Field(const std::string& callsign, std::int32_t number, std::string_view bytes,
                      std::int16_t reported_length) const {
  using Function = void(const char*, std::int32_t, const char*, std::int32_t, std::int16_t);
  reinterpret_cast<Function*>(Symbol("FakeCdromField"))(callsign.c_str(), number, bytes.data(),
                                                        static_cast<std::int32_t>(bytes.size()),
                                                        reported_length);
}

std::vector<std::string> FakeCdrom::Journal() const {
  using Function = const char*();
  std::istringstream journal(reinterpret_cast<Function*>(Symbol("FakeCdromJournal"))());
  std::vector<std::string> lines;
  for (std::string line; std::getline(journal, line);) lines.push_back(line);
  return lines;
}

}  // namespace torvane::testing
