#include "lookup/call_marks.h"

namespace torvane {

bool SetSpecialCall(db::Table& plink, PrefixReader& reader, const std::string& callsign) {
  if (plink.CurrentIndex().empty()) plink.SetIndex("prefix");
  if (!plink.Seek(Variant(callsign))) return false;
  if (!(plink.Edit() && plink.SetField("inactive", Variant("!")) && plink.Update())) return false;
  reader.Reload();
  return true;
}

}  // namespace torvane
