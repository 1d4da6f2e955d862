#pragma once

#include <curl/curl.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "core/net/curl_library.h"

// Owners of libcurl's handles, and the one place where option results are checked.
namespace torvane::net {

struct EasyCleanup {
  void operator()(CURL* easy) const { Curl().easy_cleanup(easy); }
};
struct MultiCleanup {
  void operator()(CURLM* multi) const { Curl().multi_cleanup(multi); }
};
struct SlistFreeAll {
  void operator()(curl_slist* list) const { Curl().slist_free_all(list); }
};

using EasyHandle = std::unique_ptr<CURL, EasyCleanup>;
using MultiHandle = std::unique_ptr<CURLM, MultiCleanup>;
using HeaderList = std::unique_ptr<curl_slist, SlistFreeAll>;

// An option libcurl refused: the transfer is not made with settings we did not ask for.
class SetoptError : public std::runtime_error {
 public:
  SetoptError(CURLoption option, CURLcode code)
      : std::runtime_error("cannot set HTTP option " + std::to_string(option) + ": " +
                           Curl().easy_strerror(code)),
        code_(code) {}
  CURLcode code() const { return code_; }

 private:
  CURLcode code_;
};

template <typename Value>
void SetOption(CURL* easy, CURLoption option, Value value) {
  const CURLcode code = Curl().easy_setopt(easy, option, value);
  if (code != CURLE_OK) throw SetoptError(option, code);
}

// Appends a line to a header list; the list keeps its old lines when memory runs out.
inline void AppendHeader(HeaderList& list, const std::string& line) {
  curl_slist* grown = Curl().slist_append(list.get(), line.c_str());
  if (grown == nullptr) throw std::bad_alloc();
  list.release();
  list.reset(grown);
}

}  // namespace torvane::net
