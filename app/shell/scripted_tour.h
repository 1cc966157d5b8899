// The screenshot tour (--screenshot-tour DIR): drives the real widgets of the main sheet as a user
// would: on the Connect page it ticks every listed scanner and presses "Connect", waits until every
// row reads "Connected" (or the time runs out), then shows each tab in turn and saves it as
// DIR/NN-Caption.png. Then it ticks the first scanner of the Configure page, presses "Configure
// Selected Setting", shows each tab of the device settings sheet, waits until the page has read its
// values (the page's busy state, not a timer) and saves it as DIR/sheet-NN-Caption.png; it closes the
// sheet without OK (nothing is written). It reports on standard output and ends the program through
// the orderly shutdown. Used by scripts/run-main.sh when there is no display.
#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class CMainSheetDlg;
class CSettingSheetDlg;
class QAbstractItemView;

namespace talvo {

class ScriptedTour : public QObject {
    Q_OBJECT

public:
    ScriptedTour(CMainSheetDlg& sheet, QString folder, int timeoutSeconds, QObject* parent = nullptr);

    void start();
    [[nodiscard]] bool succeeded() const { return succeeded_; }
    [[nodiscard]] QStringList savedFiles() const { return saved_; }

signals:
    void finished(bool allConnected);

private:
    enum class Step { WaitForRows, WaitForConnected, Done };
    void tick();
    [[nodiscard]] QAbstractItemView* deviceView() const;
    [[nodiscard]] int rowCount() const;
    [[nodiscard]] int connectedCount() const;
    void tickEveryRowAndConnect();
    void saveEveryPage();
    // The device settings sheet for the first scanner of the Configure page, tab after tab.
    void openSettingsSheet();
    void showSettingsTab();
    void saveSettingsTab();
    void end();
    [[nodiscard]] bool save(QWidget& widget, const QString& name);

    CMainSheetDlg& sheet_;
    QString folder_;
    int timeoutSeconds_;
    QDeadlineTimer deadline_;
    QTimer poll_;
    Step step_ = Step::WaitForRows;
    bool succeeded_ = false;
    QStringList saved_;
    CSettingSheetDlg* settings_ = nullptr;
    int settingsTab_ = 0;
    QTimer settingsGuard_;  // only when a page never finishes reading (a scanner that does not answer)
};

}  // namespace talvo
