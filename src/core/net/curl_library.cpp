#include "core/net/curl_library.h"

#include <string>

#include "core/library_binder.h"
#include "core/net/openssl_functions.h"
#include "core/shared_library.h"

namespace torvane::net {

namespace {

// Debian 12's libcurl4 and the OpenSSL it is built with.
constexpr const char* kCurlFile = "libcurl.so.4";
constexpr const char* kSslFile = "libssl.so.3";
constexpr const char* kCryptoFile = "libcrypto.so.3";
constexpr const char* kErrorSource = "Torvane.Http";

// Written once, while the first LoadCurlLibrary call holds the other callers back, and plain
// pointers from then on: a host's static objects may still free their handles through them
// while the process exits.
CurlFunctions curl_functions;
OpenSslFunctions openssl_functions;

// The opened libraries, kept mapped for the life of the process: handles made from them may
// outlive every object of ours, and libcurl keeps global state of its own.
struct Libraries {
  SharedLibrary curl;
  SharedLibrary ssl;
  SharedLibrary crypto;
  Status status;
};

Status BindCurl(SharedLibrary& library) {
  LibraryBinder open(library, kCurlFile, kErrorSource);
  CurlFunctions& f = curl_functions;
  open.Bind(f.global_init, "curl_global_init");
  open.Bind(f.version_info, "curl_version_info");
  open.Bind(f.free, "curl_free");
  open.Bind(f.easy_init, "curl_easy_init");
  open.Bind(f.easy_cleanup, "curl_easy_cleanup");
  open.Bind(f.easy_reset, "curl_easy_reset");
  open.Bind(f.easy_setopt, "curl_easy_setopt");
  open.Bind(f.easy_getinfo, "curl_easy_getinfo");
  open.Bind(f.easy_strerror, "curl_easy_strerror");
  open.Bind(f.multi_init, "curl_multi_init");
  open.Bind(f.multi_cleanup, "curl_multi_cleanup");
  open.Bind(f.multi_add_handle, "curl_multi_add_handle");
  open.Bind(f.multi_remove_handle, "curl_multi_remove_handle");
  open.Bind(f.multi_perform, "curl_multi_perform");
  open.Bind(f.multi_poll, "curl_multi_poll");
  open.Bind(f.multi_info_read, "curl_multi_info_read");
  open.Bind(f.multi_strerror, "curl_multi_strerror");
  open.Bind(f.slist_append, "curl_slist_append");
  open.Bind(f.slist_free_all, "curl_slist_free_all");
  open.Bind(f.url, "curl_url");
  open.Bind(f.url_cleanup, "curl_url_cleanup");
  open.Bind(f.url_set, "curl_url_set");
  open.Bind(f.url_get, "curl_url_get");
  open.Bind(f.url_strerror, "curl_url_strerror");
  return open.status();
}

Status BindSsl(SharedLibrary& library) {
  LibraryBinder open(library, kSslFile, kErrorSource);
  open.Bind(openssl_functions.ssl_ctx_get_cert_store, "SSL_CTX_get_cert_store");
  return open.status();
}

Status BindCrypto(SharedLibrary& library) {
  LibraryBinder open(library, kCryptoFile, kErrorSource);
  OpenSslFunctions& f = openssl_functions;
  open.Bind(f.bio_new_mem_buf, "BIO_new_mem_buf");
  open.Bind(f.bio_free, "BIO_free");
  open.Bind(f.pem_read_bio_x509, "PEM_read_bio_X509");
  open.Bind(f.x509_free, "X509_free");
  open.Bind(f.x509_store_add_cert, "X509_STORE_add_cert");
  open.Bind(f.err_clear_error, "ERR_clear_error");
  return open.status();
}

Libraries OpenLibraries() {
  Libraries libraries;
  // libcurl first: it brings in the OpenSSL it was built with, which the other two then name.
  libraries.status = BindCurl(libraries.curl);
  if (libraries.status) libraries.status = BindSsl(libraries.ssl);
  if (libraries.status) libraries.status = BindCrypto(libraries.crypto);
  if (!libraries.status) return libraries;
  if (const CURLcode code = curl_functions.global_init(CURL_GLOBAL_DEFAULT); code != CURLE_OK) {
    libraries.status =
        Error{0, std::string("cannot set up libcurl: ") + curl_functions.easy_strerror(code),
              kErrorSource};
  }
  return libraries;
}

}  // namespace

const Status& LoadCurlLibrary() {
  // Opened by the first caller, with every other caller waiting; never undone, since other
  // code of the host's process may be using libcurl too.
  static const Libraries libraries = OpenLibraries();
  return libraries.status;
}

const CurlFunctions& Curl() { return curl_functions; }

const OpenSslFunctions& OpenSsl() { return openssl_functions; }

}  // namespace torvane::net
