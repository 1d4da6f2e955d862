#include "tools/torvane/service_options.h"

#include <ostream>
#include <utility>

#include "core/clock.h"
#include "core/db/data_folder.h"
#include "core/files.h"
#include "core/folders.h"
#include "core/text.h"

namespace torvane::tool {

void ServiceOptions::Register(CLI::App& command) {
  command.add_option("--data-folder", options_.data_folder, "Data folder (databases)");
  command.add_option("--log-folder", options_.log_folder, "Folder for the logs");
  command.add_option("--documents", options_.documents_folder, "Documents folder for discovery");
  command.add_option("--install-folder", options_.install_folder,
                     "The component's own folder for discovery");
  command.add_option("--service-host", options_.service_host, "The maker's service, HOST[:PORT]");
  command.add_option("--qrz-host", options_.qrz_host, "QRZ XML service, HOST[:PORT]");
  command.add_option("--qrz-files-host", options_.qrz_files_host, "QRZ file server, HOST[:PORT]");
  command.add_option("--eqsl-host", options_.eqsl_host, "eQSL, HOST[:PORT]");
  command.add_option("--lotw-host", options_.lotw_host, "LoTW, HOST[:PORT]");
  command.add_option("--clublog-host", options_.clublog_host, "Club Log, HOST[:PORT]");
  command.add_option("--weather-iwin-host", options_.weather_iwin_host, "Hourly roundup host");
  command.add_option("--weather-xml-host", options_.weather_xml_host, "Observation XML host");
  command.add_option("--weather-noaa-host", options_.weather_noaa_host, "NOAA page host");
  command.add_option("--weather-wech-host", options_.weather_wech_host, "Commercial site host");
  command.add_option("--weather-file", options_.weather_file, "Local weather report file");
  command.add_option("--clublog-api-key", options_.clublog_api_key, "Club Log API key");
  command.add_option("--rac-library", options_.rac_library, "RAC CD-ROM library");
  command.add_option("--hamcall-library", options_.hamcall_library, "HamCall CD-ROM library");
  command.add_option("--qrz-cd-library", options_.qrz_cd_library, "QRZ CD-ROM library");
  command.add_option("--ca-bundle", options_.ca_bundle, "Extra trusted CA certificates (PEM)");
  command.add_option("--drive", drive_texts_,
                     "A CD-ROM drive and the folder it stands for, E:=/media/cdrom (repeatable)");
  command.add_option("--clock", clock_text_, "Fixed local time, YYYY-MM-DDTHH:MM:SS");
}

bool ServiceOptions::Validate(std::string_view command, std::ostream& err) {
  options_.drives.clear();
  for (const std::string& drive : drive_texts_) {
    const bool well_formed = drive.size() > 3 && text::IsLetter(drive[0]) && drive[1] == ':' &&
                             drive[2] == '=';
    if (!well_formed) {
      err << "torvane " << command << ": --drive: expected a drive and a folder as E:=/media/cdrom, got \""
          << drive << "\"\n";
      return false;
    }
    options_.drives[text::ToUpper(drive.substr(0, 2))] = drive.substr(3);
  }
  if (clock_text_.empty()) return true;
  LocalDateTime when;
  if (!ParseIsoDateTime(clock_text_, when)) {
    err << "torvane " << command << ": --clock: expected YYYY-MM-DDTHH:MM:SS, got \""
        << clock_text_ << "\"\n";
    return false;
  }
  *fixed_time_ = when;
  return true;
}

Options ServiceOptions::Build() const {
  Options options = options_;
  const auto fixed = fixed_time_;
  const Clock system = SystemClock();
  options.clock = [fixed, system] { return fixed->has_value() ? **fixed : system(); };
  return options;
}

bool ServiceStarted(const TorvaneControl& control, std::string_view command, std::ostream& err) {
  const StartupStatus status = control.GetStartupStatus();
  if (status.started) return true;
  err << "torvane " << command << ": the service did not start: ";
  if (status.number == 0 && status.description.empty()) {
    err << "undefined error, source unknown";
  } else {
    err << "error " << status.number << ' ' << status.description;
    if (!status.source.empty()) err << " (" << status.source << ')';
  }
  err << '\n';
  return false;
}

bool HasPrefixDatabase(const Options& options, std::string_view command, std::ostream& err) {
  const std::string folder = LocateFolders(options).DataFolder;
  if (files::FileExists(files::Join(folder, std::string(db::kPrefixDatabase)))) return true;
  err << "torvane " << command << ": no prefix database in " << folder
      << " (torvane db build-default makes one)\n";
  return false;
}

void RunAfterCheckingOptions(CLI::App& command, CommandContext& context,
                             std::shared_ptr<ServiceOptions> options, std::string name,
                             std::function<int()> run) {
  command.callback([&context, options = std::move(options), name = std::move(name),
                    run = std::move(run)] {
    context.status = options->Validate(name, context.err) ? run() : 2;
  });
}

}  // namespace torvane::tool
