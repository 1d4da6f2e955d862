#include "lookup/call_marks.h"

namespace torvane {

bool SetSpecialCall(db::Table& plink, const std::string& callsign) {
  if (plink.CurrentIndex().empty()) plink.SetIndex("prefix");
  if (!plink.Seek(Variant(callsign))) return false;
  return plink.Edit() && plink.SetField("inactive", Variant("!")) && plink.Update();
}

}  // namespace torvane
