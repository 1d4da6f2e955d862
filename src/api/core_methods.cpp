#include "api/method_table.h"

namespace torvane::api {

void AddCoreMethods(MethodTable& table) {
  table.Add(Row("Timer1Tick", &TorvaneControl::Timer1Tick));
  table.Add(Row("SetQuorlinPath", &TorvaneControl::SetQuorlinPath));
  table.Add(Row("SetCDDrive", &TorvaneControl::SetCDDrive));
  table.Add(Row("SetCDDXDrive", &TorvaneControl::SetCDDXDrive));
  table.Add(Row("SetCDSource", &TorvaneControl::SetCDSource));
  table.Add(Row("SetCDDXSource", &TorvaneControl::SetCDDXSource));
  table.Add(Row("SetMyCall", &TorvaneControl::SetMyCall));
  table.Add(Row("SetQRZPassword", &TorvaneControl::SetQRZPassword));
  table.Add(Row("SetHomeLatitude", &TorvaneControl::SetHomeLatitude));
  table.Add(Row("SetHomeLongitude", &TorvaneControl::SetHomeLongitude));
  table.Add(Row("SetDevel", &TorvaneControl::SetDevel));
  table.Add(Row("GetVersion", &TorvaneControl::GetVersion));
  table.Add(Row("GetLocalFCCStatus", &TorvaneControl::GetLocalFCCStatus));
  table.Add(Row("GetDataSource", &TorvaneControl::GetDataSource));
  table.Add(Row("GetDXDataSource", &TorvaneControl::GetDXDataSource));
}

}  // namespace torvane::api
