#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/result.h"

// The FCC's weekly amateur licence file (l_amat.zip) or the folder it was unpacked into: the
// members EN.dat, AM.dat and HD.dat, read as byte streams.
namespace torvane::import {

// One member being read, in chunks.
class UlsMemberReader {
 public:
  virtual ~UlsMemberReader() = default;
  // Up to `size` bytes into `buffer`; 0 at the end. An Error when reading fails.
  virtual Result<std::size_t> Read(char* buffer, std::size_t size) = 0;
  // The file, or the archive and member, for messages.
  virtual const std::string& name() const = 0;
};

class UlsSource {
 public:
  virtual ~UlsSource() = default;
  // Opens a zip archive or a folder. Errors name the path.
  static Result<std::unique_ptr<UlsSource>> Open(const std::string& path);

  // The member's size in bytes (uncompressed), or an Error naming the archive and member
  // when it has no such member. Member names match without regard to case.
  virtual Result<std::uint64_t> Size(const std::string& member) = 0;
  virtual Result<std::unique_ptr<UlsMemberReader>> OpenMember(const std::string& member) = 0;
};

}  // namespace torvane::import
