#include "api/method_table.h"

namespace torvane::api {

void AddExtrasMethods(MethodTable& table) {
  table.Add(Row("GetSpotComments", &TorvaneControl::GetSpotComments));
  table.Add(Row("GetDXNews", &TorvaneControl::GetDXNews));
  table.Add(Row("GetSunData", &TorvaneControl::GetSunData));
  table.Add(Row("GetLast4AudioClips", &TorvaneControl::GetLast4AudioClips));
}

}  // namespace torvane::api
