#include "api/method_table.h"

namespace torvane::api {

void AddUploadMethods(MethodTable& table) {
  // postVar, strUserName and strPassword may be left out.
  table.Add(Row("UploadFiles", &TorvaneControl::UploadFiles, 3));
  table.Add(Row("getFile", &TorvaneControl::getFile));
}

}  // namespace torvane::api
