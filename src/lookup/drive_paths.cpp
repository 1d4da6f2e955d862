#include "lookup/drive_paths.h"

#include "core/files.h"
#include "core/text.h"

namespace torvane {

std::string DriveFilePath(const std::string& windows_path,
                          const std::map<std::string, std::string>& drives) {
  std::string rest = windows_path;
  std::string folder;
  if (rest.size() >= 2 && text::IsLetter(rest[0]) && rest[1] == ':') {
    const std::string drive = text::ToUpper(rest.substr(0, 2));
    const auto mapped = drives.find(drive);
    folder = mapped != drives.end() ? mapped->second : drive;
    rest.erase(0, 2);
  }
  for (char& c : rest) {
    if (c == '\\') c = '/';
  }
  if (!folder.empty() && !rest.empty() && rest.front() == '/' && folder.back() == '/') {
    rest.erase(0, 1);
  }
  return files::ResolvePath(folder + rest);
}

}  // namespace torvane
