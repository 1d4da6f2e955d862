#pragma once

#include <optional>
#include <string>

// File-system helpers with the original platform's habit of matching path components without
// regard to case when the exact name does not exist ("databases" finds "Databases").
namespace torvane::files {

// The path with each missing component replaced by an existing one that differs only in case.
// Components that match nothing are kept as given.
std::string ResolvePath(const std::string& path);

bool FileExists(const std::string& path);       // a regular file, after ResolvePath
bool DirectoryExists(const std::string& path);  // a directory, after ResolvePath

// The whole file, byte for byte, or no value when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Creates the folder and its missing parents; false when that fails.
bool CreateFolders(const std::string& path, std::string& error);

// Removes what dead processes left of their work on `target`: the files (and folders) beside it
// named target's name + `marker` + a process number, with their "-wal", "-shm" and "-journal"
// companions, e.g. "bandplan.db.new-4711-wal" for marker ".new-". A name whose process still
// runs is left alone: that process is building it now. `name_prefix` goes before the name
// (a hidden staging folder is ".Quorlin.building-4711").
void RemoveStaleWork(const std::string& target, const std::string& marker,
                     const std::string& name_prefix = "");

// Joins with "/" unless the left side already ends with one.
std::string Join(const std::string& folder, const std::string& name);

}  // namespace torvane::files
