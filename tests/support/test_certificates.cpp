#include "tests/support/test_certificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <fstream>
#include <memory>
#include <stdexcept>

namespace torvane::testing {

namespace {

struct X509Free {
  void operator()(X509* certificate) const { X509_free(certificate); }
};
struct KeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ExtensionFree {
  void operator()(X509_EXTENSION* extension) const { X509_EXTENSION_free(extension); }
};
struct BioFree {
  void operator()(BIO* bio) const { BIO_free(bio); }
};

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("test certificate: ") + what);
}

void AddExtension(X509* certificate, X509* issuer, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
  std::unique_ptr<X509_EXTENSION, ExtensionFree> extension(
      X509V3_EXT_conf_nid(nullptr, &context, nid, value));
  Check(extension != nullptr, "extension");
  Check(X509_add_ext(certificate, extension.get(), -1) == 1, "add extension");
}

std::unique_ptr<X509, X509Free> MakeCertificate(const char* common_name, EVP_PKEY* key,
                                                X509* issuer, EVP_PKEY* issuer_key, long serial) {
  std::unique_ptr<X509, X509Free> certificate(X509_new());
  Check(certificate != nullptr, "new");
  X509* raw = certificate.get();
  Check(X509_set_version(raw, 2) == 1, "version");
  ASN1_INTEGER_set(X509_get_serialNumber(raw), serial);
  X509_gmtime_adj(X509_getm_notBefore(raw), -3600);
  X509_gmtime_adj(X509_getm_notAfter(raw), 7L * 24 * 3600);
  Check(X509_set_pubkey(raw, key) == 1, "public key");
  X509_NAME* name = X509_get_subject_name(raw);
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("Torvane tests"), -1, -1, 0);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(common_name), -1, -1, 0);
  X509* signer = issuer != nullptr ? issuer : raw;
  Check(X509_set_issuer_name(raw, X509_get_subject_name(signer)) == 1, "issuer");
  if (issuer == nullptr) {
    AddExtension(raw, raw, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(raw, raw, NID_key_usage, "critical,keyCertSign,cRLSign");
    AddExtension(raw, raw, NID_subject_key_identifier, "hash");
  } else {
    AddExtension(raw, signer, NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(raw, signer, NID_key_usage, "critical,digitalSignature,keyEncipherment");
    AddExtension(raw, signer, NID_ext_key_usage, "serverAuth");
    AddExtension(raw, signer, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
    AddExtension(raw, signer, NID_authority_key_identifier, "keyid");
  }
  Check(X509_sign(raw, issuer_key, EVP_sha256()) > 0, "sign");
  return certificate;
}

TestCertificates Make() {
  std::unique_ptr<EVP_PKEY, KeyFree> ca_key(EVP_EC_gen("P-256"));
  std::unique_ptr<EVP_PKEY, KeyFree> server_key(EVP_EC_gen("P-256"));
  Check(ca_key && server_key, "keys");
  auto ca = MakeCertificate("Torvane test CA", ca_key.get(), nullptr, ca_key.get(), 1);
  auto server = MakeCertificate("127.0.0.1", server_key.get(), ca.get(), ca_key.get(), 2);

  std::unique_ptr<BIO, BioFree> bio(BIO_new(BIO_s_mem()));
  Check(bio && PEM_write_bio_X509(bio.get(), ca.get()) == 1, "PEM");
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio.get(), &data);
  TestCertificates made;
  made.ca_pem.assign(data, static_cast<std::size_t>(size));
  made.server_certificate = server.release();
  made.server_key = server_key.release();
  return made;
}

}  // namespace

const TestCertificates& GetTestCertificates() {
  static const TestCertificates certificates = Make();
  return certificates;
}

std::string WriteTestCa(const std::string& folder) {
  const std::string path = folder + "/test-ca.pem";
  std::ofstream(path, std::ios::binary) << GetTestCertificates().ca_pem;
  return path;
}

}  // namespace torvane::testing
