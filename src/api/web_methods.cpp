#include "api/method_table.h"

namespace torvane::api {

void AddWebMethods(MethodTable& table) {
  table.Add(Row("StopWeb", &TorvaneControl::StopWeb));
  table.Add(Row("SetWebConnectionStatus", &TorvaneControl::SetWebConnectionStatus));
  table.Add(Row("RemoteConnected", &TorvaneControl::RemoteConnected));
  table.Add(Row("GetPingTest", &TorvaneControl::GetPingTest));
  table.Add(Row("TestConnection", &TorvaneControl::TestConnection));
  table.Add(Row("LocalTestConnection", &TorvaneControl::LocalTestConnection));
}

}  // namespace torvane::api
