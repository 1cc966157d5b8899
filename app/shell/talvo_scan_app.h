// The application object: reads the command line, elects the one instance of this user, builds the
// main sheet and runs it until SIGTERM, SIGINT, Ctrl+Q or `TalvoScan --quit` ends the program with the
// orderly shutdown. OK, F4 and the close button only hide the sheet.
#pragma once

#include "shell/program_options.h"

#include <QString>

#include <optional>

namespace talvo {

class SingleInstance;

class CTalvoScanApp {
public:
    // Exit status: 0 for a normal end (also a second start and --quit), 1 for a failure, 2 for a
    // usage error. SIGTERM and SIGINT must already be blocked (SignalWatcher::blockSignals).
    [[nodiscard]] static int run(int argc, char** argv);

    // The folder of the scan-data files: --data-dir, else the working folder.
    [[nodiscard]] static QString dataDir();
    // --key-delay of this run, if given.
    [[nodiscard]] static std::optional<int> keyDelayOption();
    // Milliseconds since run() began.
    [[nodiscard]] static qint64 millisecondsSinceStart();

private:
    [[nodiscard]] static int runPrimary(int argc, char** argv, const ProgramOptions& options, SingleInstance& instance);
};

}  // namespace talvo

using talvo::CTalvoScanApp;
