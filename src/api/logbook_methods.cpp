#include "api/method_table.h"

namespace torvane::api {

void AddLogbookMethods(MethodTable& table) {
  table.Add(Row("SetEQSLParms", &TorvaneControl::SetEQSLParms));
  table.Add(Row("SubmitEQSL", &TorvaneControl::SubmitEQSL));
  table.Add(Row("SubmitClubLog", &TorvaneControl::SubmitClubLog));
  table.Add(Row("GetLoTW", &TorvaneControl::GetLoTW));
  table.Add(Row("CancelLoTWImport", &TorvaneControl::CancelLoTWImport));
  table.Add(Row("UploadLoTW", &TorvaneControl::UploadLoTW));
  table.Add(Row("GetIsLoTW", &TorvaneControl::GetIsLoTW));
}

}  // namespace torvane::api
