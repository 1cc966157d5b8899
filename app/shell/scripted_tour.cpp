#include "shell/scripted_tour.h"

#include "shell/main_sheet_dlg.h"
#include "shell/talvo_scan_app.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>

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
    emit finished(succeeded_);
}

void ScriptedTour::saveEveryPage() {
    QDir().mkpath(folder_);
    QTabWidget* tabs = sheet_.tabs();
    for (int index = 0; index < tabs->count(); ++index) {
        tabs->setCurrentIndex(index);
        // Lets the page lay itself out and paint before it is captured.
        QCoreApplication::processEvents();
        const QString path = QDir(folder_).filePath(
            QStringLiteral("%1-%2.png").arg(index + 1, 2, 10, QLatin1Char('0')).arg(tabs->tabText(index)));
        if (sheet_.grab().save(path, "PNG")) {
            saved_.append(path);
            report(QStringLiteral("tour: saved %1").arg(path));
        } else {
            report(QStringLiteral("tour: could not save %1").arg(path));
        }
    }
    tabs->setCurrentIndex(CMainSheetDlg::ConnectTab);
}

}  // namespace talvo
