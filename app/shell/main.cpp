#include "shell/signal_watcher.h"
#include "shell/talvo_scan_app.h"

int main(int argc, char** argv) {
    // Before any thread exists, so that every thread leaves SIGTERM and SIGINT to the signalfd.
    talvo::SignalWatcher::blockSignals();
    return talvo::CTalvoScanApp::run(argc, argv);
}
