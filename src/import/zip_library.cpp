#include "import/zip_library.h"

#include "core/library_binder.h"
#include "core/shared_library.h"

namespace torvane::import {

namespace {

// Debian 12's libzip4.
constexpr const char* kZipFile = "libzip.so.4";

// Written once, while the first LoadZipLibrary call holds the other callers back.
ZipFunctions zip_functions;

struct Library {
  SharedLibrary zip;
  Status status;
};

Library OpenLibrary() {
  Library library;
  LibraryBinder open(library.zip, kZipFile, "Torvane.FccImport");
  ZipFunctions& f = zip_functions;
  open.Bind(f.open, "zip_open");
  open.Bind(f.discard, "zip_discard");
  open.Bind(f.fopen_index, "zip_fopen_index");
  open.Bind(f.fread, "zip_fread");
  open.Bind(f.fclose, "zip_fclose");
  open.Bind(f.stat_init, "zip_stat_init");
  open.Bind(f.stat_index, "zip_stat_index");
  open.Bind(f.get_num_entries, "zip_get_num_entries");
  open.Bind(f.get_name, "zip_get_name");
  open.Bind(f.strerror, "zip_strerror");
  open.Bind(f.file_strerror, "zip_file_strerror");
  open.Bind(f.error_init_with_code, "zip_error_init_with_code");
  open.Bind(f.error_strerror, "zip_error_strerror");
  open.Bind(f.error_fini, "zip_error_fini");
  library.status = open.status();
  return library;
}

}  // namespace

const Status& LoadZipLibrary() {
  // Kept mapped for the rest of the process, like any library a host may be using itself.
  static const Library library = OpenLibrary();
  return library.status;
}

const ZipFunctions& Zip() { return zip_functions; }

}  // namespace torvane::import
