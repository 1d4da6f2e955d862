#include <fmt/format.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "core/folders.h"
#include "tools/torvane/commands.h"
#include "tools/torvane/interrupt_guard.h"
#include "tools/torvane/service_options.h"
#include "torvane/torvane_control.h"

namespace torvane::tool {

namespace {

// Passwords are best given through the environment: a command line shows in the process list.
constexpr char kEqslUserVariable[] = "TORVANE_EQSL_USER";
constexpr char kEqslPasswordVariable[] = "TORVANE_EQSL_PASSWORD";
constexpr char kClubLogEmailVariable[] = "TORVANE_CLUBLOG_EMAIL";
constexpr char kClubLogPasswordVariable[] = "TORVANE_CLUBLOG_PASSWORD";
constexpr char kClubLogApiKeyVariable[] = "TORVANE_CLUBLOG_API_KEY";
constexpr char kLotwUserVariable[] = "TORVANE_LOTW_USER";
constexpr char kLotwPasswordVariable[] = "TORVANE_LOTW_PASSWORD";

// How often the download's progress line is brought up to date.
constexpr auto kProgressInterval = std::chrono::milliseconds(250);

// The option's value, else the environment variable's, else empty.
std::string FromOptionOrEnvironment(const std::string& option, const char* variable) {
  if (!option.empty()) return option;
  const char* value = std::getenv(variable);
  return value != nullptr ? value : "";
}

std::string WithoutLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

struct QsoArguments {
  std::string call, date, time, mode, band;
  std::string frequency, rst_sent, rst_received, comment;
  std::string user;      // eQSL user, or the Club Log account's e-mail
  std::string password;  // never printed
  std::string my_call;   // Club Log: the log to upload into
};

void AddQsoOptions(CLI::App& command, QsoArguments& arguments) {
  command.add_option("CALL", arguments.call, "The worked station")->required();
  command.add_option("DATE", arguments.date, "QSO date, YYYYMMDD")->required();
  command.add_option("TIME", arguments.time, "QSO time (UTC), HHMM")->required();
  command.add_option("MODE", arguments.mode, "Mode, e.g. FT8")->required();
  command.add_option("BAND", arguments.band, "Band, e.g. 20m")->required();
  command.add_option("--freq", arguments.frequency, "Frequency in MHz");
  command.add_option("--rst-sent", arguments.rst_sent, "Report sent");
  command.add_option("--rst-received", arguments.rst_received, "Report received");
  command.add_option("--comment", arguments.comment, "QSL comment (240 characters are sent)");
}

// Prints each status text as it arrives and notes whether the QSO was taken.
class StatusPrinter : public EventSink {
 public:
  explicit StatusPrinter(std::ostream& out) : out_(out) {}
  void eQSLStatus(const std::string& status) override {
    out_ << WithoutLineEnd(status) << '\n';
    out_.flush();
    if (status.starts_with("OK: ")) accepted = true;
  }
  bool accepted = false;

 private:
  std::ostream& out_;
};

enum class Upload { kEqsl, kClubLog };

int RunSubmit(Upload service, ServiceOptions& service_options, const QsoArguments& arguments,
              CommandContext& context) {
  const char* name = service == Upload::kEqsl ? "eqsl" : "clublog";
  if (!service_options.Validate(name, context.err)) return 2;
  const char* user_variable = service == Upload::kEqsl ? kEqslUserVariable : kClubLogEmailVariable;
  const char* password_variable =
      service == Upload::kEqsl ? kEqslPasswordVariable : kClubLogPasswordVariable;
  const std::string user = FromOptionOrEnvironment(arguments.user, user_variable);
  const std::string password = FromOptionOrEnvironment(arguments.password, password_variable);
  Options options = service_options.Build();
  if (service == Upload::kClubLog) {
    options.clublog_api_key =
        FromOptionOrEnvironment(options.clublog_api_key, kClubLogApiKeyVariable);
    if (options.clublog_api_key.empty()) {
      context.err << "torvane clublog: no API key: give --clublog-api-key or set "
                  << kClubLogApiKeyVariable << '\n';
      return 2;
    }
  }
  StatusPrinter printer(context.out);
  TorvaneControl control(options, &printer);
  if (!ServiceStarted(control, name, context.err)) return 1;
  control.SetEQSLParms(user, password);
  if (service == Upload::kEqsl) {
    control.SubmitEQSL(arguments.call, arguments.date, arguments.time, arguments.mode,
                       arguments.band, arguments.frequency, arguments.rst_received,
                       arguments.rst_sent, arguments.comment);
  } else {
    control.SetMyCall(arguments.my_call);
    control.SubmitClubLog(arguments.call, arguments.date, arguments.time, arguments.mode,
                          arguments.band, arguments.frequency, arguments.rst_received,
                          arguments.rst_sent, arguments.comment);
  }
  if (user.empty() || password.empty()) {
    context.err << fmt::format(
        "torvane {}: the credentials come from --{} and --password, or "
        "from {} and {}\n",
        name, service == Upload::kEqsl ? "user" : "email", user_variable, password_variable);
  }
  return printer.accepted ? 0 : 1;
}


// While GetLoTW runs (it does not return to us until the download ends), a second thread
// shows how much has arrived in the download's temporary file, and turns Ctrl-C into
// CancelLoTWImport.
class DownloadWatch {
 public:
  DownloadWatch(TorvaneControl& control, std::vector<std::filesystem::path> folders,
                std::string name, std::ostream& err, std::mutex& err_mutex)
      : control_(control),
        folders_(std::move(folders)),
        prefix_(name + ".part-"),
        err_(err),
        err_mutex_(err_mutex) {
    thread_ = std::thread([this] { Watch(); });
  }
  ~DownloadWatch() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    wake_.notify_all();
    thread_.join();
    std::lock_guard lock(err_mutex_);
    if (shown_) err_ << '\n';
  }
  DownloadWatch(const DownloadWatch&) = delete;
  DownloadWatch& operator=(const DownloadWatch&) = delete;

 private:
  void Watch() {
    std::unique_lock lock(mutex_);
    bool cancelled = false;
    while (!wake_.wait_for(lock, kProgressInterval, [this] { return done_; })) {
      std::lock_guard output(err_mutex_);
      if (InterruptGuard::Interrupted() && !cancelled) {
        cancelled = true;
        control_.CancelLoTWImport();
        err_ << "\ncancelling the download\n";
      }
      const auto bytes = PartialBytes();
      if (bytes > 0 && bytes != last_bytes_) {
        err_ << fmt::format("\r{} bytes received", bytes);
        err_.flush();
        last_bytes_ = bytes;
        shown_ = true;
      }
    }
  }

  std::uintmax_t PartialBytes() const {
    std::error_code error;
    for (const auto& folder : folders_) {
      for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
           it.increment(error)) {
        if (it->path().filename().string().starts_with(prefix_)) {
          const auto size = it->file_size(error);
          return error ? 0 : size;
        }
      }
      error.clear();
    }
    return 0;
  }

  TorvaneControl& control_;
  std::vector<std::filesystem::path> folders_;
  std::string prefix_;
  std::ostream& err_;
  std::mutex& err_mutex_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  bool shown_ = false;
  std::uintmax_t last_bytes_ = 0;
  std::thread thread_;
};

struct LotwArguments {
  std::string since;
  std::string user;
  std::string password;  // never printed
  std::string my_call;
  std::string file = "lotwreport.adi";
};

class DownloadPrinter : public EventSink {
 public:
  DownloadPrinter(std::ostream& err, std::mutex& err_mutex) : err_(err), err_mutex_(err_mutex) {}
  void LoTWDownloadStatus(std::int32_t percent) override {
    std::lock_guard lock(err_mutex_);
    if (percent == 100) err_ << "downloading the LoTW report\n";
  }

 private:
  std::ostream& err_;
  std::mutex& err_mutex_;
};

int RunLotwDownload(ServiceOptions& service_options, const LotwArguments& arguments,
                    CommandContext& context) {
  if (!service_options.Validate("lotw download", context.err)) return 2;
  const std::string user = FromOptionOrEnvironment(arguments.user, kLotwUserVariable);
  const std::string password = FromOptionOrEnvironment(arguments.password, kLotwPasswordVariable);
  if (user.empty() || password.empty()) {
    context.err << "torvane lotw download: the credentials come from --user and --password, or "
                << "from " << kLotwUserVariable << " and " << kLotwPasswordVariable << '\n';
    return 2;
  }
  const Options options = service_options.Build();
  const std::filesystem::path data = LocateFolders(options).DataFolder;
  std::mutex err_mutex;  // the download's events and its watch both write to err
  DownloadPrinter printer(context.err, err_mutex);
  TorvaneControl control(options, &printer);
  if (!ServiceStarted(control, "lotw download", context.err)) return 1;
  control.SetWebConnectionStatus(true);
  std::string filename = arguments.file;
  std::int32_t result = 1;
  {
    InterruptGuard guard;
    DownloadWatch watch(control, {data / "adif", data / "ADIF", data / ".." / "adif"},
                        arguments.file, context.err, err_mutex);
    result = control.GetLoTW(user, password, arguments.since, filename, arguments.my_call);
  }
  if (result == 0) {
    context.out << "stored " << filename << '\n';
    return 0;
  }
  // The import log's first line is the report address, password and all: not shown. The
  // client's error text may quote that address too.
  std::ifstream log(data / "Logs" / "ImportError.txt");
  std::string line;
  std::getline(log, line);
  while (std::getline(log, line)) {
    line = WithoutLineEnd(line);
    for (std::size_t at; (at = line.find(password)) != std::string::npos;) {
      line.replace(at, password.size(), "****");
    }
    if (!line.empty()) context.err << "torvane lotw download: " << line << '\n';
  }
  return 1;
}

}  // namespace

void AddLogbookCommands(CLI::App& app, CommandContext& context) {
  for (const Upload service : {Upload::kEqsl, Upload::kClubLog}) {
    auto service_options = std::make_shared<ServiceOptions>();
    auto arguments = std::make_shared<QsoArguments>();
    CLI::App* command =
        service == Upload::kEqsl
            ? app.add_subcommand("eqsl", "Send one QSO to eQSL's real-time interface")
            : app.add_subcommand("clublog", "Send one QSO to Club Log's real-time interface");
    AddOptionsWhenNamed(*command, [&context, command, service, service_options, arguments] {
      AddQsoOptions(*command, *arguments);
      if (service == Upload::kEqsl) {
        command->add_option("--user", arguments->user,
                            fmt::format("eQSL user (default: ${})", kEqslUserVariable));
        command->add_option("--password", arguments->password,
                            fmt::format("eQSL password (default: ${})", kEqslPasswordVariable));
      } else {
        command->add_option(
            "--email", arguments->user,
            fmt::format("Club Log account e-mail (default: ${})", kClubLogEmailVariable));
        command->add_option(
            "--password", arguments->password,
            fmt::format("Club Log application password (default: ${})", kClubLogPasswordVariable));
        command->add_option("--my-call", arguments->my_call, "The callsign of the log")->required();
      }
      service_options->Register(*command);
      command->callback([&context, service, service_options, arguments] {
        context.status = RunSubmit(service, *service_options, *arguments, context);
      });
    });
  }

  CLI::App* lotw = app.add_subcommand("lotw", "Logbook of the World");
  lotw->require_subcommand(1);
  auto service_options = std::make_shared<ServiceOptions>();
  auto arguments = std::make_shared<LotwArguments>();
  CLI::App* download = lotw->add_subcommand(
      "download", "Store the report of LoTW confirmations in the ADIF folder (Ctrl-C cancels)");
  AddOptionsWhenNamed(*download, [&context, download, service_options, arguments] {
    download->add_option("--since", arguments->since, "Confirmations since YYYY-MM-DD")->required();
    download->add_option("--user", arguments->user,
                         fmt::format("LoTW user (default: ${})", kLotwUserVariable));
    download->add_option("--password", arguments->password,
                         fmt::format("LoTW password (default: ${})", kLotwPasswordVariable));
    download->add_option("--my-call", arguments->my_call, "Only QSOs made as this call");
    download->add_option("--file", arguments->file, "File name in the ADIF folder")
        ->capture_default_str();
    service_options->Register(*download);
    download->callback([&context, service_options, arguments] {
      context.status = RunLotwDownload(*service_options, *arguments, context);
    });
  });
}

}  // namespace torvane::tool
