#include "services/file_upload.h"

#include "core/code_page.h"
#include "core/files.h"

namespace torvane::services {

namespace {

// The receiving scripts read the body up to this closing line of a multipart body whose
// preamble is never sent; the content type says form data.
constexpr std::string_view kClosingLine = "--Xu02=$--\r\n";
constexpr std::string_view kContentType = "application/x-www-form-urlencoded\r\n";

// The bytes of the file whose bare name ends the path (after its last "\" or "/").
std::string ReadBareFile(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/");
  const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  if (!files::FileExists(name)) return {};
  return files::ReadWholeFile(name).value_or(std::string());
}

}  // namespace

std::string getFile(const std::string& strFileName) {
  if (!files::FileExists(strFileName)) return {};  // also keeps devices and pipes out
  return code_page::Cp1252ToUtf8(files::ReadWholeFile(strFileName).value_or(std::string()));
}

std::string FileUpload::UploadFiles(const Variant& strFileName, const std::string& strURL,
                                    const std::string& strUserName,
                                    const std::string& strPassword) {
  if (std::string problem = net::UrlProblem(strURL); !problem.empty()) return problem;
  net::PostRequest request;
  request.url = strURL;
  request.with_credentials = !strUserName.empty() && !strPassword.empty();
  if (request.with_credentials) {
    request.user_name = strUserName;
    request.password = strPassword;
  }
  request.headers.emplace_back("Content-Type", std::string(kContentType));

  const std::vector<Variant>* names = strFileName.AsArray();
  if (names == nullptr) return "Type mismatch";
  if (names->empty()) return "Subscript out of range";
  // The file goes out byte for byte: reading it through the code page and writing the text
  // back through it would give the same bytes.
  request.body = ReadBareFile(names->front().ToText());
  request.body += kClosingLine;

  const net::PostReply reply = transport_.Post(request);
  return reply.ok ? reply.text : reply.error;
}

}  // namespace torvane::services
