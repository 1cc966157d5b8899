// Shows the scanners' deleted-data reports, one box at a time, on the user-interface thread. Reports
// arrive from the SDK's dispatcher by queued call and wait in order while a box is open; the dispatcher
// itself never waits for the user, so live barcodes behind a report keep flowing and a shutdown or a
// disconnect never waits for a box. closeAll() (shutdown) closes the open box and forgets the rest.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>

class QWidget;

namespace talvo {

class QueuedCalls;

class DeletedDataNotifier : public QObject {
    Q_OBJECT

public:
    explicit DeletedDataNotifier(QWidget* boxParent, QObject* parent = nullptr);
    ~DeletedDataNotifier() override;

    // Any thread: queues a report for the user-interface thread.
    void post(QString text);
    // User-interface thread.
    void show(QString text);
    void closeAll();

    [[nodiscard]] QMessageBox* openBox() const { return box_.data(); }
    [[nodiscard]] int waiting() const { return static_cast<int>(waiting_.size()); }

private:
    void showNext();

    QPointer<QWidget> boxParent_;
    QueuedCalls* calls_;  // reports from the SDK's dispatcher
    QPointer<QMessageBox> box_;
    std::deque<QString> waiting_;
};

}  // namespace talvo
