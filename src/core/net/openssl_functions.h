#pragma once

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

namespace torvane::net {

// The OpenSSL functions that extend libcurl's certificate store, opened with libcurl (see
// LoadCurlLibrary). Members are OpenSSL's names in lower case.
struct OpenSslFunctions {
  decltype(&BIO_new_mem_buf) bio_new_mem_buf = nullptr;
  decltype(&BIO_free) bio_free = nullptr;
  decltype(&PEM_read_bio_X509) pem_read_bio_x509 = nullptr;
  decltype(&X509_free) x509_free = nullptr;
  decltype(&X509_STORE_add_cert) x509_store_add_cert = nullptr;
  decltype(&SSL_CTX_get_cert_store) ssl_ctx_get_cert_store = nullptr;
  decltype(&ERR_clear_error) err_clear_error = nullptr;
};

// OpenSSL's functions; only after LoadCurlLibrary has succeeded.
const OpenSslFunctions& OpenSsl();

}  // namespace torvane::net
