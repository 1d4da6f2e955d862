// A call as a host passes it to the prefix getters: parsed, then looked up in the default
// data, built once from Debian's cty.csv and Locations.xml into a temporary folder.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "import/default_data.h"
#include "torvane/torvane_control.h"

namespace {

class DefaultDataControl {
 public:
  DefaultDataControl()
      : folder_(std::filesystem::temp_directory_path() /
                ("torvane-fuzz-" + std::to_string(::getpid()))) {
    const auto built = torvane::import::BuildDefaultDataFolder(
        (folder_ / "data").string(),
        {"/usr/share/hamradio-files/cty.csv", "/usr/share/libgweather-4/Locations.xml"}, false);
    if (!built) {
      std::cerr << "cannot build the default data: " << built.error().description << '\n';
      std::abort();
    }
    torvane::Options options;
    options.data_folder = (folder_ / "data").string();
    options.log_folder = (folder_ / "logs").string();
    options.documents_folder = (folder_ / "documents").string();
    // Nothing a call does may reach the network; a closed local port answers at once.
    for (std::string* host : {&options.service_host, &options.qrz_host, &options.qrz_files_host,
                              &options.eqsl_host, &options.lotw_host, &options.clublog_host}) {
      *host = "127.0.0.1:9";
    }
    control_ = std::make_unique<torvane::TorvaneControl>(options);
  }
  ~DefaultDataControl() {
    control_.reset();
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
  }
  DefaultDataControl(const DefaultDataControl&) = delete;
  DefaultDataControl& operator=(const DefaultDataControl&) = delete;

  torvane::TorvaneControl& control() { return *control_; }

 private:
  std::filesystem::path folder_;
  std::unique_ptr<torvane::TorvaneControl> control_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static DefaultDataControl service;
  torvane::TorvaneControl& control = service.control();
  const std::string call(torvane::fuzz::AsText(data, size));
  control.GetQuickDXCCNumber(call);
  control.GetQuickMasterPrefix(call);
  control.GetPrefixCQZone(call);
  control.GetRealPrefix(call);
  control.GetPrefixWPX(call);
  control.GetIsAmbiguousPrefix(call);
  control.GetPrefixDXDistance(call);
  static torvane::QuickPrefixAnswers answers;  // kept, as a batch resolver keeps it
  control.GetQuickPrefixAnswers(call, answers);

  // The input's lines at once must be answered as each alone.
  std::vector<std::string> calls;
  for (std::size_t start = 0; start <= call.size() && calls.size() < 64;) {
    const std::size_t end = std::min(call.find('\n', start), call.size());
    calls.push_back(call.substr(start, end - start));
    start = end + 1;
  }
  std::vector<torvane::QuickPrefixAnswers> at_once(calls.size());
  if (control.GetQuickPrefixAnswers(calls, at_once, 2) != calls.size()) std::abort();
  // So must the batch that gives each entity once.
  static torvane::QuickPrefixBatch batch;
  if (control.GetQuickPrefixBatch(calls, batch, 2) != calls.size()) std::abort();
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const torvane::QuickPrefixAnswers alone = control.GetQuickPrefixAnswers(calls[i]);
    if (alone != at_once[i]) std::abort();
    const std::int32_t position = batch.entity[i];
    const torvane::QuickPrefixEntity entity =
        position >= 0 ? batch.entities.at(static_cast<std::size_t>(position))
                      : torvane::QuickPrefixEntity{"0", "", "", "", ""};
    const torvane::QuickPrefixEntity alone_entity{alone.dxcc, alone.country, alone.continent,
                                                  alone.cq_zone, alone.itu_zone};
    if ((position >= 0) != alone.matched || entity != alone_entity ||
        batch.wpx_prefix[i] != alone.wpx_prefix) {
      std::abort();
    }
  }
  return 0;
}
