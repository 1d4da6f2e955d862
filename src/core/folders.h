#pragma once

#include <string>

#include "torvane/options.h"

namespace torvane {

// Where the host's data lives and where the service writes its logs.
struct FolderSet {
  std::string DataFolder;
  std::string LogFolder;
};

// The documents folder: $XDG_DOCUMENTS_DIR, else the XDG_DOCUMENTS_DIR line of
// user-dirs.dirs, else $HOME/Documents.
std::string DocumentsFolder();

// Where the host keeps its data inside a documents folder: documents/ZENTROVA/Quorlin.
std::string DocumentsDataFolder(const std::string& documents);

// The folder of the loaded libtorvane.so.
std::string LibraryFolder();

// The folder search of the original component: the documents folder's ZENTROVA/Quorlin when
// it holds a Databases folder, otherwise the Quorlin folder above the component's own folder.
// Folders set outright in the options win.
FolderSet LocateFolders(const Options& options);

}  // namespace torvane
