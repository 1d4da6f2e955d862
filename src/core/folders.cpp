#include "core/folders.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/files.h"
#include "core/text.h"

namespace torvane {

namespace {

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home != nullptr ? home : "";
}

// The value of XDG_DOCUMENTS_DIR in user-dirs.dirs, with $HOME expanded.
std::string DocumentsFromUserDirs() {
  const char* config_home = std::getenv("XDG_CONFIG_HOME");
  const std::string config = (config_home != nullptr && *config_home != '\0')
                                 ? std::string(config_home)
                                 : HomeFolder() + "/.config";
  std::ifstream in(config + "/user-dirs.dirs");
  std::string line;
  while (std::getline(in, line)) {
    const std::string_view trimmed = text::Trim(line);
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=";
    if (trimmed.substr(0, kKey.size()) != kKey) continue;
    std::string value(trimmed.substr(kKey.size()));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    if (value.rfind("$HOME", 0) == 0) value = HomeFolder() + value.substr(5);
    return value;
  }
  return {};
}

}  // namespace

std::string DocumentsFolder() {
  if (const char* documents = std::getenv("XDG_DOCUMENTS_DIR");
      documents != nullptr && *documents != '\0') {
    return documents;
  }
  if (std::string documents = DocumentsFromUserDirs(); !documents.empty()) return documents;
  return HomeFolder() + "/Documents";
}

std::string DocumentsDataFolder(const std::string& documents) {
  return documents + "/ZENTROVA/Quorlin";
}

std::string LibraryFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&LibraryFolder), &info) == 0 || info.dli_fname == nullptr) {
    return {};
  }
  std::error_code error;
  const auto path = std::filesystem::weakly_canonical(info.dli_fname, error);
  return (error ? std::filesystem::path(info.dli_fname) : path).parent_path().string();
}

FolderSet LocateFolders(const Options& options) {
  FolderSet folders;
  const std::string documents =
      options.documents_folder.empty() ? DocumentsFolder() : options.documents_folder;
  if (files::DirectoryExists(DocumentsDataFolder(documents) + "/Databases")) {
    folders.DataFolder = DocumentsDataFolder(documents);
    folders.LogFolder = DocumentsDataFolder(documents) + "/Logs";
  } else {
    std::string own = options.install_folder.empty() ? LibraryFolder() : options.install_folder;
    // Case-sensitive on purpose: only the host's own "Quorlin" folder counts.
    const std::size_t at = own.find("/Quorlin");
    if (at != std::string::npos && at > 0) own = own.substr(0, at);
    folders.DataFolder = own + "/Quorlin";
    folders.LogFolder = own + "/Quorlin/Controls";
  }
  if (!options.data_folder.empty()) {
    folders.DataFolder = options.data_folder;
    folders.LogFolder = options.data_folder + "/Logs";
  }
  if (!options.log_folder.empty()) folders.LogFolder = options.log_folder;
  return folders;
}

}  // namespace torvane
