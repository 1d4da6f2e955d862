#pragma once

#include <curl/curl.h>

#include "core/result.h"

namespace torvane::net {

// The libcurl functions the clients call. libcurl (and through it some thirty libraries) is
// opened at the first request rather than when the process starts: most hosts and most tool
// commands never make one. Members drop libcurl's "curl_" prefix; curl.h defines
// curl_easy_setopt and curl_easy_getinfo as macros too, which member calls leave alone.
struct CurlFunctions {
  decltype(&curl_global_init) global_init = nullptr;
  decltype(&curl_version_info) version_info = nullptr;
  decltype(&curl_free) free = nullptr;
  decltype(&curl_easy_init) easy_init = nullptr;
  decltype(&curl_easy_cleanup) easy_cleanup = nullptr;
  decltype(&curl_easy_reset) easy_reset = nullptr;
  decltype(&curl_easy_setopt) easy_setopt = nullptr;
  decltype(&curl_easy_getinfo) easy_getinfo = nullptr;
  decltype(&curl_easy_strerror) easy_strerror = nullptr;
  decltype(&curl_multi_init) multi_init = nullptr;
  decltype(&curl_multi_cleanup) multi_cleanup = nullptr;
  decltype(&curl_multi_add_handle) multi_add_handle = nullptr;
  decltype(&curl_multi_remove_handle) multi_remove_handle = nullptr;
  decltype(&curl_multi_perform) multi_perform = nullptr;
  decltype(&curl_multi_poll) multi_poll = nullptr;
  decltype(&curl_multi_info_read) multi_info_read = nullptr;
  decltype(&curl_multi_strerror) multi_strerror = nullptr;
  decltype(&curl_slist_append) slist_append = nullptr;
  decltype(&curl_slist_free_all) slist_free_all = nullptr;
  decltype(&curl_url) url = nullptr;
  decltype(&curl_url_cleanup) url_cleanup = nullptr;
  decltype(&curl_url_set) url_set = nullptr;
  decltype(&curl_url_get) url_get = nullptr;
  decltype(&curl_url_strerror) url_strerror = nullptr;
};

// Opens libcurl and the OpenSSL libraries it uses and runs curl_global_init, at the first call
// in the process, whichever thread makes it; later calls give that first outcome. The error
// names the library that could not be used and why ("cannot load libcurl.so.4: ...").
const Status& LoadCurlLibrary();

// libcurl's functions; only after LoadCurlLibrary has succeeded (every handle and every
// callback of libcurl comes after that).
const CurlFunctions& Curl();

}  // namespace torvane::net
