#pragma once

#include <curl/curl.h>

#include <memory>
#include <string>
#include <vector>

#include "core/result.h"

struct x509_st;

namespace torvane::net {

// Certificate authorities trusted in addition to the system's store (a host's private CA, or
// the CA a test makes). Certificate checks stay on whatever is loaded here.
class ExtraCertificates {
 public:
  // Reads every PEM certificate of the file. An error when the file cannot be read, holds no
  // certificate, or libcurl does not use OpenSSL (the only back end whose store we can extend).
  Status Load(const std::string& pem_path);
  bool empty() const { return certificates_.empty(); }

  // Makes the transfer trust these authorities besides the system's.
  void Apply(CURL* easy) const;

 private:
  struct X509Free {
    void operator()(x509_st* certificate) const;
  };
  static CURLcode AddToContext(CURL* easy, void* ssl_ctx, void* self);

  std::vector<std::unique_ptr<x509_st, X509Free>> certificates_;
};

}  // namespace torvane::net
