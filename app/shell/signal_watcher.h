// SIGTERM and SIGINT as a Qt signal on the user-interface thread, through a signalfd. blockSignals()
// must run in main() before any thread starts, so that every thread inherits the blocked mask and the
// signals wait in the signalfd instead of interrupting some thread.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace talvo {

class SignalWatcher : public QObject {
    Q_OBJECT

public:
    // Blocks SIGTERM and SIGINT for the calling thread (and the threads it starts later).
    static void blockSignals();

    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    [[nodiscard]] bool isValid() const { return fd_ >= 0; }

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignals();

    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace talvo
