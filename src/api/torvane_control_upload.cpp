#include "api/guard.h"
#include "service/service.h"
#include "services/file_upload.h"
#include "torvane/torvane_control.h"

namespace torvane {

using api::Guard;

std::string TorvaneControl::UploadFiles(Variant& strFileName, const std::string& strURL,
                                        const std::string& /*DirPath*/,
                                        const std::string& /*postVar*/,
                                        const std::string& strUserName,
                                        const std::string& strPassword) {
  return Guard(service_, std::string(), [&](Service& service) {
    return service.file_upload().UploadFiles(strFileName, strURL, strUserName, strPassword);
  });
}

std::string TorvaneControl::getFile(const std::string& strFileName) {
  return Guard(service_, std::string(), [&](Service&) { return services::getFile(strFileName); });
}

}  // namespace torvane
