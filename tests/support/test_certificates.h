#pragma once

#include <string>

struct x509_st;
struct evp_pkey_st;

namespace torvane::testing {

// A certificate authority made at test time, and a server certificate it signed for
// 127.0.0.1 and localhost. Made once per process; EC keys keep that quick.
struct TestCertificates {
  std::string ca_pem;
  x509_st* server_certificate = nullptr;  // owned here, for the whole process
  evp_pkey_st* server_key = nullptr;
};

const TestCertificates& GetTestCertificates();

// Writes the CA certificate into the folder (as for Options::ca_bundle); returns the path.
std::string WriteTestCa(const std::string& folder);

}  // namespace torvane::testing
