#pragma once

#include <zip.h>

#include "core/result.h"

namespace torvane::import {

// The libzip functions that read the FCC's licence archive. libzip, with the compression and
// crypto libraries it needs, is opened at the first archive rather than when the process
// starts: almost no command reads one. Members drop libzip's "zip_" prefix.
struct ZipFunctions {
  decltype(&zip_open) open = nullptr;
  decltype(&zip_discard) discard = nullptr;
  decltype(&zip_fopen_index) fopen_index = nullptr;
  decltype(&zip_fread) fread = nullptr;
  decltype(&zip_fclose) fclose = nullptr;
  decltype(&zip_stat_init) stat_init = nullptr;
  decltype(&zip_stat_index) stat_index = nullptr;
  decltype(&zip_get_num_entries) get_num_entries = nullptr;
  decltype(&zip_get_name) get_name = nullptr;
  decltype(&zip_strerror) strerror = nullptr;
  decltype(&zip_file_strerror) file_strerror = nullptr;
  decltype(&zip_error_init_with_code) error_init_with_code = nullptr;
  decltype(&zip_error_strerror) error_strerror = nullptr;
  decltype(&zip_error_fini) error_fini = nullptr;
};

// Opens libzip at the first call in the process, whichever thread makes it; later calls give
// that first outcome ("cannot load libzip.so.4: ..." when it cannot be used).
const Status& LoadZipLibrary();

// libzip's functions; only after LoadZipLibrary has succeeded.
const ZipFunctions& Zip();

}  // namespace torvane::import
