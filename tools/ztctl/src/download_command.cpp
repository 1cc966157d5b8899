// ztctl download: the records stored in each scanner into NAME_ScanData.txt, newest first.
#include "commands_impl.h"

#include "download_progress.h"
#include "interruptible.h"
#include "ports.h"
#include "scanner_run.h"
#include "sdk_result.h"
#include "zt/client/display_form.h"
#include "zt/scandata/atomic_file.h"
#include "zt/scandata/scan_data_line.h"
#include "zt/scandata/scan_data_names.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <vector>

namespace ztctl {

using zt::client::displayForm;

const std::string_view kDownloadHelp =
    "usage: ztctl download PORT... [--out DIR] [--no-time]\n"
    "Downloads the records stored in each scanner into DIR/NAME_ScanData.txt (DIR: the working folder\n"
    "by default), one line per record, newest first:\n"
    "  COUNTER YYYY/MM/DD hh:mm:ss VALUE1 VALUE2 TEXT<CR><LF>   (without date and time: --no-time)\n"
    "NAME is the scanner's name from the device search, or COM<n>; a '/' in it becomes '_'. When two\n"
    "scanners have the same name, each file gets the port too: 'NAME (COM5)_ScanData.txt'. A file is\n"
    "replaced only when its scanner's download succeeded. The records stay in the scanner.\n"
    "Each scanner is opened just for its own download; a barcode it sends live meanwhile is reported on\n"
    "stderr (it is not in the file).\n"
    "Progress goes to stderr: a bar per scanner on a terminal, plain lines otherwise.\n";

namespace {

constexpr std::size_t kRecordTextBuffer = 3072 + 8;  // the SDK writes at most 3072 bytes

// File name of each port's scan-data file; scanners that share a name get their port added.
std::map<unsigned, std::string> fileNames(const std::vector<unsigned>& ports, const ScannerNames& names) {
    std::vector<zt::scandata::ScannerFileKey> keys;
    for (const unsigned port : ports) keys.push_back({names.find(port).value_or(portLabel(port)), portLabel(port)});
    const auto files_ = zt::scandata::scanDataFileNames(keys);
    std::map<unsigned, std::string> files;
    for (std::size_t i = 0; i < ports.size(); ++i) files[ports[i]] = files_[i];
    return files;
}

// Copies every downloaded record into `file`; false (reported) when one cannot be fetched.
bool writeRecords(const OpenScanner& scanner, int count, zt::scandata::LineForm form, zt::scandata::AtomicFile& file) {
    std::array<char, kRecordTextBuffer> text{};
    for (int index = 0; index < count; ++index) {
        zt::scandata::ScanDataRecord record;
        int tag = 0;
        int textLength = 0;
        const int rc = ztCollectingOnce(scanner.handle(), index, &tag, record.time.data(), &record.value1,
                                        &record.value2, text.data(), &textLength);
        if (rc != SDK_OK) {
            reportFailure(scanner.port(), rc, "record " + std::to_string(index + 1));
            return false;
        }
        record.index = index;
        record.text = std::string_view(text.data(), static_cast<std::size_t>(std::max(textLength, 0)));
        file.write(zt::scandata::formatScanDataLine(record, form));
    }
    return true;
}

class Downloader {
public:
    Downloader(std::filesystem::path folder, std::map<unsigned, std::string> files, zt::scandata::LineForm form)
        : folder_(std::move(folder)), files_(std::move(files)), form_(form), terminal_(::isatty(STDERR_FILENO) == 1) {}

    bool download(const OpenScanner& scanner) {
        const auto target = folder_ / files_.at(scanner.port());
        try {
            zt::scandata::AtomicFile file(folder_, ".ztctl-download-");
            int count = 0;
            const int rc = collect(scanner, count);
            if (rc != SDK_OK) {
                reportFailure(scanner.port(), rc, "download");
                keptNote(target);
                return false;
            }
            if (!writeRecords(scanner, count, form_, file)) {
                keptNote(target);
                return false;
            }
            file.commit(target);
            std::printf("%s: %d record%s -> %s\n", scanner.label().c_str(), count, count == 1 ? "" : "s",
                        displayForm(target.string()).c_str());
            std::fflush(stdout);
            return true;
        } catch (const std::system_error& error) {
            std::fprintf(stderr, "%s: %s\n", portLabel(scanner.port()).c_str(), error.what());
            keptNote(target);
            return false;
        }
    }

private:
    int collect(const OpenScanner& scanner, int& count) const {
        DownloadProgress progress(scanner.label(), terminal_);
        const int rc = ztPrepareCollecting(scanner.handle(), &count, &DownloadProgress::Callbacks::onProgress);
        progress.finish();
        return rc;
    }

    static void keptNote(const std::filesystem::path& target) {
        std::error_code ignored;
        if (std::filesystem::exists(target, ignored)) {
            std::fprintf(stderr, "  %s was left as it was\n", displayForm(target.string()).c_str());
        }
    }

    std::filesystem::path folder_;
    std::map<unsigned, std::string> files_;
    zt::scandata::LineForm form_;
    bool terminal_;
};

std::filesystem::path outputFolder(const Arguments& arguments) {
    const std::filesystem::path folder(arguments.value("--out").value_or("."));
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        throw UsageError("'" + displayForm(folder.string()) + "' is not a folder");
    }
    return folder;
}

}  // namespace

int runDownload(const Context& context, Words args) {
    const Arguments arguments(args, {{"--out", true}, {"--no-time", false}});
    if (printedHelp(arguments, kDownloadHelp)) return kExitOk;
    const auto ports = parsePorts(arguments.positionals());
    const auto folder = outputFolder(arguments);
    const ScannerNames names(searchPairedScanners());
    const auto form =
        arguments.has("--no-time") ? zt::scandata::LineForm::WithoutTime : zt::scandata::LineForm::WithTime;
    Downloader downloader(folder, fileNames(ports, names), form);
    return runOnScanners(context, ports, names, false, Opening::EachInTurn,
                         [&](OpenScanner& scanner) { return downloader.download(scanner); });
}

}  // namespace ztctl
