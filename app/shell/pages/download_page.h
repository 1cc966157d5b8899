// The Download page. For now it holds the "TimeStampOfDownData" setting handed to it by the main sheet
// and takes the connection events; downloads and the live list arrive with the download work.
#pragma once

#include <QWidget>

class CDownloadPage : public QWidget {
    Q_OBJECT

public:
    explicit CDownloadPage(QWidget* parent = nullptr);

    // "TimeStampOfDownData": whether downloaded lines carry the scan time.
    void setTimeStampOfDownData(int value) { timeStampOfDownData_ = value; }
    [[nodiscard]] int timeStampOfDownData() const { return timeStampOfDownData_; }
    // MsgDeviceEvent messages received so far.
    [[nodiscard]] int deviceEventCount() const { return deviceEvents_; }

protected:
    void customEvent(QEvent* event) override;

private:
    int timeStampOfDownData_ = 1;
    int deviceEvents_ = 0;
};
