#pragma once

#include <string>

#include "core/net/http_transport.h"
#include "torvane/variant.h"

namespace torvane::services {

// The whole file, each byte as a character of the single-byte code page (so a 3-byte file
// gives 3 characters); empty when the file is missing or cannot be read.
std::string getFile(const std::string& strFileName);

// Posts a file to a web address of the caller's choosing and returns the server's answer.
class FileUpload {
 public:
  explicit FileUpload(net::HttpTransport& transport) : transport_(transport) {}

  // Element 0 of `strFileName` names the file; only its bare name is used, read from the
  // current folder. Credentials go only when both are given. The result is the reply text
  // whatever its HTTP status, or the description of the step that failed.
  std::string UploadFiles(const Variant& strFileName, const std::string& strURL,
                          const std::string& strUserName, const std::string& strPassword);

 private:
  net::HttpTransport& transport_;
};

}  // namespace torvane::services
