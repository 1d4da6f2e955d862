#pragma once

#include <map>
#include <string>

namespace torvane {

// The file-system path of a file on a CD-ROM drive, from the Windows form the callbook rules
// build ("E:\FCC Data\FCCData.db"): a leading drive text becomes its folder, "\" becomes
// "/", and components are matched without regard to case.
std::string DriveFilePath(const std::string& windows_path,
                          const std::map<std::string, std::string>& drives);

}  // namespace torvane
