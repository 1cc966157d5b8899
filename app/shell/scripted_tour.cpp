#include "shell/scripted_tour.h"

#include "pages/configure/configure_page.h"
#include "pages/configure/sheet/config_tab_page.h"
#include "pages/configure/sheet/setting_sheet_dlg.h"
#include "shell/main_sheet_dlg.h"
#include "shell/talvo_scan_app.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>

#include <chrono>
#include <cstdio>

namespace talvo {
namespace {

constexpr int kPollMs = 100;
constexpr int kStatusColumn = 1;

void report(const QString& line) {
    std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

}  // namespace

ScriptedTour::ScriptedTour(CMainSheetDlg& sheet, QString folder, int timeoutSeconds, QObject* parent)
    : QObject(parent), sheet_(sheet), folder_(std::move(folder)), timeoutSeconds_(timeoutSeconds) {
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &ScriptedTour::tick);
    settingsGuard_.setSingleShot(true);
    connect(&settingsGuard_, &QTimer::timeout, this, [this] {
        report(QStringLiteral("tour: the settings page is still reading, saved as it stands"));
        saveSettingsTab();
    });
}

void ScriptedTour::start() {
    QCoreApplication::processEvents();
    report(QStringLiteral("tour: sheet shown %1 ms after start").arg(CTalvoScanApp::millisecondsSinceStart()));
    deadline_ = QDeadlineTimer(static_cast<qint64>(timeoutSeconds_) * 1000);
    sheet_.tabs()->setCurrentIndex(CMainSheetDlg::ConnectTab);
    poll_.start();
}

QAbstractItemView* ScriptedTour::deviceView() const {
    QWidget* page = sheet_.tabs()->widget(CMainSheetDlg::ConnectTab);
    return page == nullptr ? nullptr : page->findChild<QAbstractItemView*>();
}

int ScriptedTour::rowCount() const {
    const QAbstractItemView* view = deviceView();
    return view == nullptr || view->model() == nullptr ? 0 : view->model()->rowCount();
}

int ScriptedTour::connectedCount() const {
    const QAbstractItemView* view = deviceView();
    if (view == nullptr || view->model() == nullptr) return 0;
    const QAbstractItemModel* model = view->model();
    int connected = 0;
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->index(row, kStatusColumn).data().toString() == QLatin1String("Connected")) ++connected;
    return connected;
}

void ScriptedTour::tickEveryRowAndConnect() {
    QAbstractItemView* view = deviceView();
    QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(); ++row)
        model->setData(model->index(row, 0), Qt::Checked, Qt::CheckStateRole);
    QWidget* page = sheet_.tabs()->widget(CMainSheetDlg::ConnectTab);
    for (QPushButton* button : page->findChildren<QPushButton*>()) {
        if (button->accessibleName() == QLatin1String("Connect")) {
            report(QStringLiteral("tour: %1 scanners listed, pressing Connect").arg(model->rowCount()));
            button->click();
            return;
        }
    }
    report(QStringLiteral("tour: no Connect button"));
}

void ScriptedTour::tick() {
    const bool late = deadline_.hasExpired();
    if (step_ == Step::WaitForRows) {
        if (rowCount() > 0) {
            tickEveryRowAndConnect();
            step_ = Step::WaitForConnected;
        } else if (late) {
            report(QStringLiteral("tour: no scanner listed"));
            step_ = Step::Done;
        }
    }
    if (step_ == Step::WaitForConnected) {
        const int connected = connectedCount();
        succeeded_ = connected == rowCount();
        if (succeeded_ || late) {
            report(QStringLiteral("tour: %1 of %2 scanners connected").arg(connected).arg(rowCount()));
            step_ = Step::Done;
        }
    }
    if (step_ != Step::Done) return;
    poll_.stop();
    saveEveryPage();
    openSettingsSheet();
}

void ScriptedTour::end() {
    settingsGuard_.stop();
    emit finished(succeeded_);
}

bool ScriptedTour::save(QWidget& widget, const QString& name) {
    const QString path = QDir(folder_).filePath(name);
    if (!widget.grab().save(path, "PNG")) {
        report(QStringLiteral("tour: could not save %1").arg(path));
        return false;
    }
    saved_.append(path);
    report(QStringLiteral("tour: saved %1").arg(path));
    return true;
}

void ScriptedTour::openSettingsSheet() {
    CConfigurePage* configure = sheet_.configurePage();
    if (configure == nullptr || configure->rows()->size() == 0) {
        report(QStringLiteral("tour: no scanner on the Configure page, no settings sheet"));
        return end();
    }
    sheet_.tabs()->setCurrentIndex(CMainSheetDlg::ConfigureTab);
    configure->rows()->setAllChecked(false);
    configure->rows()->setChecked(0, true);
    if (configure->configureSelected() != 1) {
        report(QStringLiteral("tour: the settings sheet did not open"));
        return end();
    }
    report(QStringLiteral("tour: settings sheet open for %1")
               .arg(QString::fromStdWString(configure->rows()->rowAt(0)->name)));
    settings_ = configure->settingSheet();
    settingsTab_ = 0;
    showSettingsTab();
}

void ScriptedTour::showSettingsTab() {
    if (settingsTab_ >= CSettingSheetDlg::TabCount) {
        settings_->reject();  // closed without OK: nothing is written
        return end();
    }
    settings_->tabs()->setCurrentIndex(settingsTab_);  // opens the page, which starts its reads
    config::ConfigTabPage* page = settings_->page(settingsTab_);
    if (page == nullptr || !page->busy()) return saveSettingsTab();
    connect(
        page, &config::ConfigTabPage::busyChanged, this,
        [this](bool busy) {
            if (!busy) saveSettingsTab();
        },
        Qt::SingleShotConnection);
    settingsGuard_.start(std::chrono::seconds(timeoutSeconds_));
}

void ScriptedTour::saveSettingsTab() {
    settingsGuard_.stop();
    if (settings_ == nullptr || settingsTab_ >= CSettingSheetDlg::TabCount) return;
    if (config::ConfigTabPage* page = settings_->page(settingsTab_)) disconnect(page, nullptr, this, nullptr);
    // Lets the page show its values and paint before it is captured.
    QCoreApplication::processEvents();
    QString caption = settings_->tabs()->tabText(settingsTab_);
    caption.replace(QLatin1Char('/'), QLatin1Char('-'));
    (void)save(*settings_,
               QStringLiteral("sheet-%1-%2.png").arg(settingsTab_ + 1, 2, 10, QLatin1Char('0')).arg(caption));
    ++settingsTab_;
    // Queued: the next tab starts its reads outside the page's own signal.
    QMetaObject::invokeMethod(this, &ScriptedTour::showSettingsTab, Qt::QueuedConnection);
}

void ScriptedTour::saveEveryPage() {
    QDir().mkpath(folder_);
    QTabWidget* tabs = sheet_.tabs();
    for (int index = 0; index < tabs->count(); ++index) {
        tabs->setCurrentIndex(index);
        // Lets the page lay itself out and paint before it is captured.
        QCoreApplication::processEvents();
        (void)save(sheet_,
                   QStringLiteral("%1-%2.png").arg(index + 1, 2, 10, QLatin1Char('0')).arg(tabs->tabText(index)));
    }
    tabs->setCurrentIndex(CMainSheetDlg::ConnectTab);
}

}  // namespace talvo
