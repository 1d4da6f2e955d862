#include "core/net/extra_certificates.h"

#include <string_view>

#include "core/files.h"
#include "core/net/curl_handles.h"
#include "core/net/curl_library.h"
#include "core/net/openssl_functions.h"

namespace torvane::net {

namespace {

struct BioFree {
  void operator()(BIO* bio) const { OpenSsl().bio_free(bio); }
};

bool CurlUsesOpenSsl() {
  const curl_version_info_data* info = Curl().version_info(CURLVERSION_NOW);
  return info != nullptr && info->ssl_version != nullptr &&
         std::string_view(info->ssl_version).substr(0, 7) == "OpenSSL";
}

}  // namespace

void ExtraCertificates::X509Free::operator()(x509_st* certificate) const {
  OpenSsl().x509_free(certificate);
}

Status ExtraCertificates::Load(const std::string& pem_path) {
  certificates_.clear();
  // Reading the certificates needs OpenSSL, so a CA file loads libcurl and OpenSSL when the
  // clients are configured rather than at their first request.
  if (const Status& loaded = LoadCurlLibrary(); !loaded) return loaded;
  const OpenSslFunctions& openssl = OpenSsl();
  if (!CurlUsesOpenSsl()) {
    return Error{0, "an extra CA needs libcurl built with OpenSSL", "Torvane.Http"};
  }
  const std::optional<std::string> pem = files::ReadWholeFile(pem_path);
  if (!pem) return Error{0, "cannot read the CA file " + pem_path, "Torvane.Http"};
  std::unique_ptr<BIO, BioFree> bio(
      openssl.bio_new_mem_buf(pem->data(), static_cast<int>(pem->size())));
  if (!bio) return Error{0, "out of memory reading " + pem_path, "Torvane.Http"};
  while (X509* certificate = openssl.pem_read_bio_x509(bio.get(), nullptr, nullptr, nullptr)) {
    certificates_.emplace_back(certificate);
  }
  openssl.err_clear_error();  // the read that ends the loop leaves "no start line" behind
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
  const OpenSslFunctions& openssl = OpenSsl();
  X509_STORE* store = openssl.ssl_ctx_get_cert_store(static_cast<SSL_CTX*>(ssl_ctx));
  if (store == nullptr) return CURLE_SSL_CERTPROBLEM;
  for (const auto& certificate : extra.certificates_) {
    // Fails harmlessly when already present.
    openssl.x509_store_add_cert(store, certificate.get());
  }
  openssl.err_clear_error();
  return CURLE_OK;
}

}  // namespace torvane::net
