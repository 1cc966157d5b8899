// The Connect page: its rows follow the device search, its buttons ask the main sheet, and a scanner
// that is no longer paired is disconnected before its row goes.
#include "pages/connect/connect_page.h"
#include "fast_sdk.h"
#include "harness.h"
#include "pages/connect/device_list.h"
#include "pages/connect/device_search.h"
#include "registry_file.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <condition_variable>
#include <mutex>

using namespace talvo;
using namespace talvo::test;

namespace {

constexpr int kWait = 5000;

// The main sheet as the page sees it: records every MsgConnectRequest and hands it to a manager.
class SheetStub : public QObject {
public:
    struct Request {
        MessageArg kind;
        DeviceRecord* record;
    };
    ConnectionManager* manager = nullptr;
    std::vector<Request> requests;

protected:
    void customEvent(QEvent* event) override {
        auto* m = AppEvent::from(event);
        if (m == nullptr || m->message() != AppMessage::ConnectRequest) return;
        requests.push_back({m->first(), argPointer<DeviceRecord>(m->second())});
        if (manager != nullptr)
            m->setResult(manager->connectRequest(int(m->first()), argPointer<DeviceRecord>(m->second())));
        else
            m->setResult(1);
    }
};

QString cell(const CConnectPage& page, int row, int column) {
    const auto* model = page.deviceList()->model();
    return model->data(model->index(row, column)).toString();
}

QStringList names(const CConnectPage& page) {
    QStringList out;
    for (int i = 0; i < page.deviceList()->rows().size(); ++i) out << cell(page, i, 0);
    return out;
}

void checkAll(CConnectPage& page) {
    auto& rows = page.deviceList()->rows();
    for (int i = 0; i < rows.size(); ++i) rows.setChecked(i, true);
}

// The page's device search runs off the user-interface thread: waits until its rows are in.
[[nodiscard]] bool searched(const CConnectPage& page) {
    return QTest::qWaitFor([&page] { return !page.searching(); }, kWait);
}

}  // namespace

class ConnectPageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useFastSdk(); }

    void listsThePairedScannersWithTheirStatus() {
        RegistryFile reg;
        reg.write({{"ZT-550 A", 5}, {"ZT-550 B", 6}, {"Headset", 7}});
        CConnectPage page;
        QVERIFY(searched(page));
        QAbstractItemModelTester tester(page.deviceList()->model());
        QCOMPARE(page.rowCount(), 2);
        QCOMPARE(sendMessage(&page, AppMessage::GetDeviceCount)->result, 2);
        auto* model = page.deviceList()->model();
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Device Name"));
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Status"));
        QCOMPARE(names(page).size(), 2);
        QVERIFY(names(page).contains("ZT-550 A") && names(page).contains("ZT-550 B"));
        QCOMPARE(cell(page, 0, 1), QStringLiteral("Disconnected"));
        QCOMPARE(model->data(model->index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(page.findChild<QPushButton*>()->accessibleName(), QStringLiteral("Connect"));

        // The status text follows the record's state each time the view asks.
        setRecordState(*page.deviceList()->rows().rowAt(0), 1);
        QCOMPARE(cell(page, 0, 1), QStringLiteral("Connecting..."));
        setRecordState(*page.deviceList()->rows().rowAt(0), 3);
        QCOMPARE(cell(page, 0, 1), QStringLiteral("Connect Fail"));
    }

    void activationsWithoutChangeAddNoRows() {
        RegistryFile reg;
        reg.write({{"ZT-550 A", 5}, {"ZT-550 B", 6}});
        CConnectPage page;
        QVERIFY(searched(page));
        page.show();  // the tab becoming current
        page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        page.hide();
        page.show();
        page.refresh();
        QVERIFY(searched(page));
        QCOMPARE(page.rowCount(), 2);

        reg.write({{"ZT-550 A", 5}, {"ZT-550 B", 6}, {"ZT-550 C", 8}});
        page.hide();
        page.show();  // a new pairing appears on the next activation, on top
        QVERIFY(page.searching());
        QVERIFY(searched(page));
        QCOMPARE(page.rowCount(), 3);
        QCOMPARE(cell(page, 0, 0), QStringLiteral("ZT-550 C"));
    }

    void sameNameOnTwoPortsIsTwoRowsAndAnExactDuplicateIsOne() {
        RegistryFile reg;
        reg.write({{"ZT-550 A", 5}, {"ZT-550 A", 6}, {"ZT-550 A", 5}});
        CConnectPage page;
        QVERIFY(searched(page));
        QCOMPARE(page.rowCount(), 2);
        page.refresh();
        QVERIFY(searched(page));
        QCOMPARE(page.rowCount(), 2);
    }

    void connectAsksOnlyForDisconnectedOrFailedAndDisconnectOnlyForConnected() {
        RegistryFile reg;
        reg.write({{"ZT-550 0", 10}, {"ZT-550 1", 11}, {"ZT-550 2", 12}, {"ZT-550 3", 13}, {"ZT-550 x", 14}});
        CConnectPage page;
        QVERIFY(searched(page));
        SheetStub sheet;
        page.setRequestReceiver(&sheet);
        auto& rows = page.deviceList()->rows();
        std::map<int, DeviceRecord*> byState;
        for (int i = 0; i < rows.size(); ++i) {
            DeviceRecord* r = rows.rowAt(i);
            const int port = r->GetPort();
            if (port == 14) continue;  // stays unticked
            setRecordState(*r, port - 10);
            byState[port - 10] = r;
            rows.setChecked(i, true);
        }
        page.findChildren<QPushButton*>().at(0)->click();  // "Connect"
        QCoreApplication::sendPostedEvents(&sheet);
        QCOMPARE(sheet.requests.size(), 2u);
        for (const auto& r : sheet.requests) {
            QCOMPARE(r.kind, 0);
            QVERIFY(r.record == byState[0] || r.record == byState[3]);
        }
        sheet.requests.clear();
        page.findChildren<QPushButton*>().at(1)->click();  // "Disconnect", sent
        QCOMPARE(sheet.requests.size(), 1u);
        QCOMPARE(sheet.requests[0].kind, 1);
        QCOMPARE(sheet.requests[0].record, byState[2]);
    }

    void headerCheckBoxTicksEveryRowForConnect() {
        RegistryFile reg;
        reg.write({{"ZT-550 A", 5}, {"ZT-550 B", 6}});
        CConnectPage page;
        QVERIFY(searched(page));
        SheetStub sheet;
        page.setRequestReceiver(&sheet);
        page.deviceList()->toggleHeaderCheck();
        page.connectChecked();
        QCoreApplication::sendPostedEvents(&sheet);
        QCOMPARE(sheet.requests.size(), 2u);
    }

    void deviceEventRedrawsTheRecordsRow() {
        RegistryFile reg;
        reg.write({{"ZT-550 A", 5}, {"ZT-550 B", 6}});
        CConnectPage page;
        QVERIFY(searched(page));
        QSignalSpy changed(page.deviceList()->model(), &QAbstractItemModel::dataChanged);
        DeviceRecord* second = page.deviceList()->rows().rowAt(1);
        postMessage(&page, AppMessage::DeviceEvent, int(DeviceEventKind::Connecting), pointerArg(second));
        QTRY_COMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex().row(), 1);
        DeviceRecord stranger(9, L"ZT-550 9");  // a record without a row is ignored
        QCOMPARE(sendMessage(&page, AppMessage::DeviceEvent, 1, pointerArg(&stranger))->result, 1);
        QCOMPARE(changed.size(), 1);
    }

    void unpairedWhileConnectedIsDisconnectedThenRemoved() {
        RegistryFile reg;
        reg.write({{"ZT-550 A", 5}, {"ZT-550 B", 6}});
        Harness h;
        h.ports.add(5);
        h.ports.add(6);
        CConnectPage page;
        QVERIFY(searched(page));
        SheetStub sheet;
        h.in.listed = 0;
        h.start();
        sheet.manager = h.manager.get();
        page.setRequestReceiver(&sheet);
        page.setRecordRetirement([&h](std::unique_ptr<DeviceRecord> r) { h.manager->retire(std::move(r)); });
        checkAll(page);
        page.connectChecked();
        QTRY_COMPARE_WITH_TIMEOUT(h.manager->connected().size(), 2u, kWait);
        QCOMPARE(cell(page, 0, 1), QStringLiteral("Connected"));

        reg.write({{"ZT-550 B", 6}});  // A un-paired while connected
        page.refresh();
        QVERIFY(searched(page));
        QCOMPARE(page.rowCount(), 1);
        QCOMPARE(names(page), QStringList{"ZT-550 B"});
        QCOMPARE(sheet.requests.back().kind, 1);
        QTRY_COMPARE_WITH_TIMEOUT(h.manager->connected().size(), 1u, kWait);
        QCOMPARE(h.manager->connected().front()->GetPort(), 6);

        reg.write({});  // the stack's keys without a scanner: every row goes
        page.refresh();
        QVERIFY(searched(page));
        QCOMPARE(page.rowCount(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(h.manager->connected().empty(), kWait);
    }

    void searchWithoutASourceLeavesTheRows() {
        RegistryFile reg;
        reg.write({{"ZT-550 A", 5}});
        CConnectPage page;
        QVERIFY(searched(page));
        reg.writeWithoutStack();
        page.refresh();
        QVERIFY(searched(page));
        QCOMPARE(page.rowCount(), 1);
    }

    void hostileNamesAndManyScanners() {
        RegistryFile reg;
        std::vector<Pairing> many;
        for (int i = 1; i <= 40; ++i) many.push_back({"ZT-550 " + std::to_string(i), i});
        const std::string longName = "ZT-550 " + std::string(193, 'x');  // 200 characters
        many.push_back({longName, 41});
        many.push_back({"ZT-550 a/b/../c", 42});
        many.push_back({std::string("ZT-550 \x01\x7f tab\there"), 43});
        many.push_back({std::string("ZT-550 \xff\xfe\xc3"), 44});
        reg.write(many);
        CConnectPage page;
        QVERIFY(searched(page));
        QVERIFY(page.rowCount() >= 42);  // a name the file cannot hold may be refused by the search
        const auto shown = names(page);
        QVERIFY(shown.contains(QString::fromStdString(longName)));
        QVERIFY(shown.contains("ZT-550 a/b/../c"));
        for (const QString& name : shown) {
            for (QChar c : name)
                QVERIFY2(!c.isNonCharacter() && c.category() != QChar::Other_Control, qPrintable(name));
        }
        page.refresh();
        QVERIFY(searched(page));
        QCOMPARE(page.rowCount(), shown.size());
    }

    // The search may take a second (BlueZ): the window goes on meanwhile, activations while it runs are
    // folded into one more search, and the rows come when it answers.
    void theSearchRunsOffTheUserInterfaceThread() {
        RegistryFile reg;
        reg.write({{"ZT-550 A", 5}});
        std::mutex mutex;
        std::condition_variable cv;
        bool open = false;
        int searches = 0;
        auto system = DeviceSearch::systemSearch();
        CConnectPage page(nullptr, [&]() {
            std::unique_lock lock(mutex);
            ++searches;
            cv.wait(lock, [&] { return open; });
            return system();
        });
        QVERIFY(page.searching());
        QCOMPARE(page.rowCount(), 0);
        QVERIFY(QTest::qWaitFor([&] {
            const std::lock_guard lock(mutex);
            return searches == 1;  // the first search waits in the search function
        }));
        bool ticked = false;
        QTimer::singleShot(0, [&ticked] { ticked = true; });
        QTRY_VERIFY(ticked);  // the event loop runs while the search waits
        page.refresh();
        page.refresh();
        {
            const std::lock_guard lock(mutex);
            open = true;
        }
        cv.notify_all();
        QVERIFY(searched(page));
        QCOMPARE(page.rowCount(), 1);
        const std::lock_guard lock(mutex);
        QCOMPARE(searches, 2);  // the first, and one for both requests made while it ran
    }

    // The keyboard alone: from the buttons, Tab reaches the header's box (Space ticks every row), Down the
    // rows (Up and Down select, Space toggles the current row).
    void theKeyboardAloneTicksAndConnects() {
        RegistryFile reg;
        reg.write({{"ZT-550 A", 5}, {"ZT-550 B", 6}, {"ZT-550 C", 7}});
        CConnectPage page;
        QVERIFY(searched(page));
        SheetStub sheet;
        page.setRequestReceiver(&sheet);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        auto* disconnect = page.findChildren<QPushButton*>().at(1);
        disconnect->setFocus();
        QTRY_VERIFY(disconnect->hasFocus());
        auto* list = page.deviceList();
        QTest::keyClick(disconnect, Qt::Key_Tab);
        QTRY_VERIFY(list->headerCtrl()->hasFocus());
        QTest::keyClick(list->headerCtrl(), Qt::Key_Space);
        QCOMPARE(list->rows().isChecked(0) && list->rows().isChecked(1) && list->rows().isChecked(2), true);
        QTest::keyClick(list->headerCtrl(), Qt::Key_Down);  // the first row
        QTRY_VERIFY(list->hasFocus());
        QCOMPARE(list->selectionModel()->selectedRows().front().row(), 0);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(list->selectionModel()->selectedRows().front().row(), 1);
        QTest::keyClick(list, Qt::Key_Space);  // the second stays out
        QCOMPARE(list->rows().isChecked(1), false);
        QTest::keyClick(list, Qt::Key_Backtab);
        QTest::keyClick(list->headerCtrl(), Qt::Key_Backtab);
        QTRY_VERIFY(disconnect->hasFocus());
        QTest::keyClick(disconnect, Qt::Key_Backtab);
        auto* connectButton = page.findChildren<QPushButton*>().at(0);
        QTRY_VERIFY(connectButton->hasFocus());
        QTest::keyClick(connectButton, Qt::Key_Space);
        QCoreApplication::sendPostedEvents(&sheet);
        QCOMPARE(sheet.requests.size(), 2u);
    }

    void displayNameReplacesWhatIsNoCharacter() {
        QCOMPARE(CDeviceList::displayName(L"ZT-550\x01"
                                          L"A"),
                 QString::fromUtf8("ZT-550\xEF\xBF\xBD"
                                   "A"));
        const wchar_t surrogate[] = {L'Z', static_cast<wchar_t>(0xD800), L'\0'};
        QCOMPARE(CDeviceList::displayName(surrogate), QString::fromUtf8("Z\xEF\xBF\xBD"));
        QCOMPARE(CDeviceList::displayName(L"caf\u00e9 \U0001F600"), QString::fromUtf8("caf\xC3\xA9 \xF0\x9F\x98\x80"));
        QCOMPARE(CDeviceList::displayName(nullptr), QString());
    }
};

QTEST_MAIN(ConnectPageTest)
#include "connect_page_test.moc"
