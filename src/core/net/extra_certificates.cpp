#include "core/net/extra_certificates.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <string_view>

#include "core/files.h"
#include "core/net/curl_handles.h"

namespace torvane::net {

namespace {

struct BioFree {
  void operator()(BIO* bio) const { BIO_free(bio); }
};

bool CurlUsesOpenSsl() {
  const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
  return info != nullptr && info->ssl_version != nullptr &&
         std::string_view(info->ssl_version).substr(0, 7) == "OpenSSL";
}

}  // namespace

void ExtraCertificates::X509Free::operator()(x509_st* certificate) const { X509_free(certificate); }

Status ExtraCertificates::Load(const std::string& pem_path) {
  certificates_.clear();
  if (!CurlUsesOpenSsl()) {
    return Error{0, "an extra CA needs libcurl built with OpenSSL", "Torvane.Http"};
  }
  const std::optional<std::string> pem = files::ReadWholeFile(pem_path);
  if (!pem) return Error{0, "cannot read the CA file " + pem_path, "Torvane.Http"};
  std::unique_ptr<BIO, BioFree> bio(BIO_new_mem_buf(pem->data(), static_cast<int>(pem->size())));
  if (!bio) return Error{0, "out of memory reading " + pem_path, "Torvane.Http"};
  while (X509* certificate = PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr)) {
    certificates_.emplace_back(certificate);
  }
  ERR_clear_error();  // the read that ends the loop leaves "no start line" behind
  if (certificates_.empty()) {
    return Error{0, "no PEM certificate in " + pem_path, "Torvane.Http"};
  }
  return Status::Ok();
}

void ExtraCertificates::Apply(CURL* easy) const {
  if (certificates_.empty()) return;
  SetOption(easy, CURLOPT_SSL_CTX_FUNCTION, &ExtraCertificates::AddToContext);
  SetOption(easy, CURLOPT_SSL_CTX_DATA, const_cast<ExtraCertificates*>(this));
}

// libcurl has loaded the system's store into the context by the time it calls this.
CURLcode ExtraCertificates::AddToContext(CURL* /*easy*/, void* ssl_ctx, void* self) {
  const auto& extra = *static_cast<const ExtraCertificates*>(self);
  X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(ssl_ctx));
  if (store == nullptr) return CURLE_SSL_CERTPROBLEM;
  for (const auto& certificate : extra.certificates_) {
    X509_STORE_add_cert(store, certificate.get());  // fails harmlessly when already present
  }
  ERR_clear_error();
  return CURLE_OK;
}

}  // namespace torvane::net
