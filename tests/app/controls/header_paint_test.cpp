// What the check-box header paints: the box at its place for layout factors 1 to 3, the tick, the
// separators and the area right of the last item; read back from the rendered header.
#include "controls/layout_factor.h"
#include "controls/list_ctrl_ext.h"
#include "controls/row_list_model.h"
#include "test_support.h"

#include <QTest>

#include <memory>

using namespace talvo;

namespace {

struct Row {};

struct Fixture {
    RowListModel<Row> model{
        {{QStringLiteral("Device Name")}, {QStringLiteral("Status")}}, true, [](const Row&, int) { return QString{}; }};
    CListCtrlExt list;

    explicit Fixture(bool stretch = true) {
        list.setModel(&model);
        list.horizontalHeader()->setStretchLastSection(stretch);
        list.setColumnWidth(0, 120);
        list.setColumnWidth(1, 80);
        list.resize(320, 160);
        list.show();
    }
    [[nodiscard]] QImage header() { return list.horizontalHeader()->grab().toImage(); }
    [[nodiscard]] QRect section(int i) {
        const QHeaderView* h = list.horizontalHeader();
        return {h->sectionViewportPosition(i), 0, h->sectionSize(i), h->height()};
    }
};

// Compared as plain RGB: palette colours and image pixels may differ in colour spec only.
QRgb at(const QImage& image, int x, int y) { return image.pixel(x, y); }

}  // namespace

class HeaderPaintTest : public QObject {
    Q_OBJECT

private slots:
    void init() { failOnAnyWarning(); }
    void cleanup() { setLayoutFactorOverride(0); }

    void boxGeometry_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("offset");
        QTest::newRow("factor 1: kept inside the item") << 1 << 0;
        QTest::newRow("factor 2") << 2 << 0;
        QTest::newRow("factor 3") << 3 << 3;
    }
    void boxGeometry() {
        QFETCH(int, k);
        QFETCH(int, offset);
        const QRect section(40, 0, 120, 40);
        const QRect box = CXHeaderCtrl::checkBoxRect(section, k);
        QCOMPARE(box.width(), 14 * k);
        QCOMPARE(box.height(), 14 * k);
        QCOMPARE(box.left(), 40 + offset);
        QCOMPARE(box.top() + box.height() / 2, 20);  // vertically centred
    }

    void paintsTheUncheckedBox_data() {
        QTest::addColumn<int>("k");
        QTest::newRow("1") << 1;
        QTest::newRow("2") << 2;
    }
    void paintsTheUncheckedBox() {
        QFETCH(int, k);
        setLayoutFactorOverride(k);
        Fixture f;
        f.list.setHeaderCheck(false);
        QVERIFY(QTest::qWaitForWindowExposed(&f.list));
        QVERIFY(f.list.horizontalHeader()->height() >= 14 * k);
        const QImage img = f.header();
        const QRect box = CXHeaderCtrl::checkBoxRect(f.section(0), k);
        const QPalette pal = f.list.horizontalHeader()->palette();
        QCOMPARE(at(img, box.left(), box.top()), pal.color(QPalette::Text).rgb());
        QCOMPARE(at(img, box.right(), box.bottom()), pal.color(QPalette::Text).rgb());
        QCOMPARE(at(img, box.left(), box.center().y()), pal.color(QPalette::Text).rgb());
        for (int y = box.top() + 1; y < box.bottom(); ++y)
            for (int x = box.left() + 1; x < box.right(); ++x) QCOMPARE(at(img, x, y), pal.color(QPalette::Base).rgb());
        QCOMPARE(at(img, box.right() + 2, box.center().y()), pal.color(QPalette::Button).rgb());
        saveScreenshot(*f.list.horizontalHeader(), QStringLiteral("header-unchecked-k%1").arg(k));
    }

    void paintsTheTickAtFactorOne() {
        setLayoutFactorOverride(1);
        Fixture f;
        f.list.setHeaderCheck(true);
        QVERIFY(QTest::qWaitForWindowExposed(&f.list));
        const QImage img = f.header();
        const QRect box = CXHeaderCtrl::checkBoxRect(f.section(0), 1);
        const QRgb ink = f.list.horizontalHeader()->palette().color(QPalette::Text).rgb();
        const QRgb paper = f.list.horizontalHeader()->palette().color(QPalette::Base).rgb();
        const int l = box.left();
        const int t = box.top();
        // Upper end of the long arm, its lower end, the bottom of the tick, the upper end of the short arm.
        for (const QPoint p : {QPoint(l + 10, t + 3), QPoint(l + 10, t + 5), QPoint(l + 6, t + 9),
                               QPoint(l + 5, t + 10), QPoint(l + 3, t + 6)}) {
            QCOMPARE(at(img, p.x(), p.y()), ink);
        }
        for (const QPoint p :
             {QPoint(l + 11, t + 3), QPoint(l + 10, t + 6), QPoint(l + 2, t + 6), QPoint(l + 5, t + 11)}) {
            QCOMPARE(at(img, p.x(), p.y()), paper);
        }
        saveScreenshot(*f.list.horizontalHeader(), QStringLiteral("header-checked-k1"));
    }

    void tickStaysInsideTheBox_data() {
        QTest::addColumn<int>("k");
        QTest::newRow("1") << 1;
        QTest::newRow("2") << 2;
        QTest::newRow("4") << 4;
    }
    void tickStaysInsideTheBox() {
        QFETCH(int, k);
        const QRect box = CXHeaderCtrl::checkBoxRect(QRect(0, 0, 100, 20 * k), k);
        const QRect inside = box.adjusted(1, 1, -1, -1);
        const QList<QLine> strokes = CXHeaderCtrl::tickStrokes(box, k);
        QCOMPARE(strokes.size(), 8 * k);
        for (const QLine& s : strokes) {
            QVERIFY(inside.contains(s.p1()));
            QVERIFY(inside.contains(s.p2()));
            QCOMPARE(s.p2().y() - s.p1().y() + 1, 3 * k);
        }
    }

    void noBoxWithoutHeaderCheck() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.list));
        const QImage img = f.header();
        const QRect box = CXHeaderCtrl::checkBoxRect(f.section(0), 1);
        QCOMPARE(at(img, box.left() + 1, box.top() + 1),
                 f.list.horizontalHeader()->palette().color(QPalette::Button).rgb());
    }

    void separatorsAndTheAreaBeyondTheLastItem() {
        Fixture f(false);
        f.list.setHeaderCheck(false);
        QVERIFY(QTest::qWaitForWindowExposed(&f.list));
        const QImage img = f.header();
        const QPalette pal = f.list.horizontalHeader()->palette();
        const int h = img.height();
        const int edge = f.section(0).right();
        QCOMPARE(at(img, edge - 1, h / 2), pal.color(QPalette::Dark).rgb());
        QCOMPARE(at(img, edge, h / 2), pal.color(QPalette::Light).rgb());
        QCOMPARE(at(img, edge, 1), pal.color(QPalette::Button).rgb());  // stops 2 pixels short of the top
        // No separator after the last item; the rest of the header is a raised face.
        const int end = f.section(1).right();
        QCOMPARE(at(img, end, h / 2), pal.color(QPalette::Button).rgb());
        QVERIFY(end + 10 < img.width());
        QCOMPARE(at(img, end + 10, h / 2), pal.color(QPalette::Button).rgb());
        QCOMPARE(at(img, end + 10, 0), pal.color(QPalette::Light).rgb());
        QCOMPARE(at(img, end + 10, h - 1), pal.color(QPalette::Dark).rgb());
        QCOMPARE(at(img, img.width() - 1, h / 2), pal.color(QPalette::Dark).rgb());
    }
};

QTEST_MAIN(HeaderPaintTest)
#include "header_paint_test.moc"
