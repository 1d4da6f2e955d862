#include "import/uls_source.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fmt/format.h>

#include "core/text.h"
#include "import/zip_library.h"

namespace torvane::import {

namespace {

constexpr const char* kErrorSource = "Torvane.FccImport";

Error ImportError(std::string description) { return Error{0, std::move(description), kErrorSource}; }

struct CloseFile {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
struct DiscardArchive {
  void operator()(zip_t* archive) const noexcept { Zip().discard(archive); }
};
struct CloseMember {
  void operator()(zip_file_t* member) const noexcept { Zip().fclose(member); }
};

class FileMemberReader : public UlsMemberReader {
 public:
  FileMemberReader(std::string path, std::FILE* file) : path_(std::move(path)), file_(file) {}
  Result<std::size_t> Read(char* buffer, std::size_t size) override {
    const std::size_t read = std::fread(buffer, 1, size, file_.get());
    if (read == 0 && std::ferror(file_.get())) {
      return ImportError(fmt::format("cannot read {}: {}", path_, std::strerror(errno)));
    }
    return read;
  }
  const std::string& name() const override { return path_; }

 private:
  std::string path_;
  std::unique_ptr<std::FILE, CloseFile> file_;
};

class FolderSource : public UlsSource {
 public:
  explicit FolderSource(std::string folder) : folder_(std::move(folder)) {}

  Result<std::uint64_t> Size(const std::string& member) override {
    auto path = Find(member);
    if (!path) return path.error();
    std::error_code error;
    const auto size = std::filesystem::file_size(*path, error);
    if (error) return ImportError(fmt::format("cannot read {}: {}", *path, error.message()));
    return static_cast<std::uint64_t>(size);
  }

  Result<std::unique_ptr<UlsMemberReader>> OpenMember(const std::string& member) override {
    auto path = Find(member);
    if (!path) return path.error();
    std::FILE* file = std::fopen(path->c_str(), "rb");
    if (file == nullptr) {
      return ImportError(fmt::format("cannot open {}: {}", *path, std::strerror(errno)));
    }
    return std::unique_ptr<UlsMemberReader>(std::make_unique<FileMemberReader>(*path, file));
  }

 private:
  Result<std::string> Find(const std::string& member) const {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
      if (!text::EqualsIgnoreCase(entry.path().filename().string(), member)) continue;
      // A device or a pipe in the folder's place never ends.
      if (!entry.is_regular_file(error)) {
        return ImportError(fmt::format("{} is not a regular file", entry.path().string()));
      }
      return entry.path().string();
    }
    return ImportError(fmt::format("{} has no {}", folder_, member));
  }

  std::string folder_;
};

class ZipMemberReader : public UlsMemberReader {
 public:
  ZipMemberReader(std::string name, zip_file_t* member) : name_(std::move(name)), member_(member) {}
  Result<std::size_t> Read(char* buffer, std::size_t size) override {
    const zip_int64_t read = Zip().fread(member_.get(), buffer, size);
    if (read < 0) {
      return ImportError(
          fmt::format("cannot read {}: {}", name_, Zip().file_strerror(member_.get())));
    }
    return static_cast<std::size_t>(read);
  }
  const std::string& name() const override { return name_; }

 private:
  std::string name_;
  std::unique_ptr<zip_file_t, CloseMember> member_;
};

class ZipSource : public UlsSource {
 public:
  ZipSource(std::string path, zip_t* archive) : path_(std::move(path)), archive_(archive) {}

  Result<std::uint64_t> Size(const std::string& member) override {
    auto index = Find(member);
    if (!index) return index.error();
    zip_stat_t stat;
    Zip().stat_init(&stat);
    if (Zip().stat_index(archive_.get(), *index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
      return ImportError(fmt::format("{}: cannot read the size of {}", path_, member));
    }
    return static_cast<std::uint64_t>(stat.size);
  }

  Result<std::unique_ptr<UlsMemberReader>> OpenMember(const std::string& member) override {
    auto index = Find(member);
    if (!index) return index.error();
    zip_file_t* file = Zip().fopen_index(archive_.get(), *index, 0);
    if (file == nullptr) {
      return ImportError(fmt::format("{}: cannot open {}: {}", path_, member,
                                     Zip().strerror(archive_.get())));
    }
    return std::unique_ptr<UlsMemberReader>(
        std::make_unique<ZipMemberReader>(path_ + ":" + member, file));
  }

 private:
  // Members may sit in a folder inside the archive; the file name decides.
  Result<zip_uint64_t> Find(const std::string& member) const {
    const zip_int64_t count = Zip().get_num_entries(archive_.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
      const char* name = Zip().get_name(archive_.get(), static_cast<zip_uint64_t>(i), 0);
      if (name == nullptr) continue;
      if (text::EqualsIgnoreCase(std::filesystem::path(name).filename().string(), member)) {
        return static_cast<zip_uint64_t>(i);
      }
    }
    return ImportError(fmt::format("{} has no {}", path_, member));
  }

  std::string path_;
  std::unique_ptr<zip_t, DiscardArchive> archive_;
};

}  // namespace

Result<std::unique_ptr<UlsSource>> UlsSource::Open(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    return std::unique_ptr<UlsSource>(std::make_unique<FolderSource>(path));
  }
  if (!std::filesystem::exists(path, error)) {
    return ImportError(fmt::format("{}: no such file or folder", path));
  }
  if (!std::filesystem::is_regular_file(path, error)) {
    return ImportError(fmt::format("{} is neither a folder nor a regular file", path));
  }
  if (const Status& loaded = LoadZipLibrary(); !loaded) {
    return ImportError(fmt::format("{}: {}", path, loaded.error().description));
  }
  int code = 0;
  zip_t* archive = Zip().open(path.c_str(), ZIP_RDONLY, &code);
  if (archive == nullptr) {
    zip_error_t zip_error;
    Zip().error_init_with_code(&zip_error, code);
    std::string reason = Zip().error_strerror(&zip_error);
    Zip().error_fini(&zip_error);
    return ImportError(fmt::format("{} is neither a folder nor a readable zip archive ({})", path,
                                   reason));
  }
  return std::unique_ptr<UlsSource>(std::make_unique<ZipSource>(path, archive));
}

}  // namespace torvane::import
