// The gradient bar: its colour bands, the filled length, the text and its "0" at the lower bound,
// read back from the rendered bar.
#include "controls/gradient_progress_ctrl.h"
#include "test_support.h"

#include <QTest>

using namespace talvo;

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 24;

QImage render(CGradientProgressCtrl& bar) { return bar.grab().toImage(); }

// Pixels of `color` within the image.
int countOf(const QImage& image, const QColor& color) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == color;
    return n;
}

// Where the bar's text stands: the pixels that change when the text is drawn in `ink` instead of not
// at all (a transparent text colour).
struct TextPixels {
    int count = 0;
    int left = -1;
    int right = -1;
};
TextPixels textPixels(CGradientProgressCtrl& bar, const QColor& ink) {
    bar.setTextColor(QColor(0, 0, 0, 0));
    const QImage plain = render(bar);
    bar.setTextColor(ink);
    const QImage inked = render(bar);
    TextPixels t;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x) {
            if (plain.pixel(x, y) == inked.pixel(x, y)) continue;
            if (t.count++ == 0) t.left = t.right = x;
            t.left = std::min(t.left, x);
            t.right = std::max(t.right, x);
        }
    return t;
}

}  // namespace

class GradientProgressTest : public QObject {
    Q_OBJECT

    CGradientProgressCtrl* bar_ = nullptr;

private slots:
    void init() {
        failOnAnyWarning();
        bar_ = new CGradientProgressCtrl;
        bar_->resize(kWidth, kHeight);
    }
    void cleanup() { delete bar_; }

    void rangeStepAndTheMirroredValue() {
        bar_->setPosition(40);
        bar_->setBounds(0, 3);
        QCOMPARE(bar_->position(), 0);  // a new range starts at its lower bound
        bar_->setStep(1);
        bar_->stepIt();
        bar_->stepIt();
        QCOMPARE(bar_->position(), 2);
        bar_->setTextSuffix(QStringLiteral("/3"));
        QCOMPARE(bar_->text(), QStringLiteral("2/3"));
        QCOMPARE(bar_->value(), 2);
        bar_->setPosition(7);  // beyond the range: the value that assistive technologies read stays inside
        QCOMPARE(bar_->value(), 3);
        QCOMPARE(bar_->text(), QStringLiteral("7/3"));
    }

    void bandCounts() {
        QCOMPARE(CGradientProgressCtrl::bandCount(Qt::red, Qt::blue), 255);
        QCOMPARE(CGradientProgressCtrl::bandCount(QColor(255, 200, 200), QColor(255, 70, 70)), 130);
        QCOMPARE(CGradientProgressCtrl::bandCount(QColor(10, 20, 30), QColor(10, 20, 30)), 1);
        QCOMPARE(CGradientProgressCtrl::bandColor(Qt::red, Qt::blue, 0, 255), QColor(255, 0, 0));
        QCOMPARE(CGradientProgressCtrl::bandColor(Qt::red, Qt::blue, 254, 255), QColor(1, 0, 254));
        QCOMPARE(CGradientProgressCtrl::bandColor(QColor(255, 200, 200), QColor(255, 70, 70), 65, 130),
                 QColor(255, 135, 135));
    }

    void filledLength_data() {
        QTest::addColumn<int>("lower");
        QTest::addColumn<int>("upper");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("filled");
        QTest::newRow("half") << 0 << 100 << 50 << 100;
        QTest::newRow("truncated") << 0 << 3 << 1 << 66;
        QTest::newRow("full") << 0 << 3 << 3 << 200;
        QTest::newRow("at the lower bound") << 0 << 100 << 0 << 0;
        QTest::newRow("below") << 0 << 100 << -5 << 0;
        QTest::newRow("above the upper bound") << 0 << 100 << 101 << 0;
        QTest::newRow("range not from 0") << 50 << 100 << 75 << 100;
        QTest::newRow("upper bound 0") << -10 << 0 << -5 << 100;
    }
    void filledLength() {
        QFETCH(int, lower);
        QFETCH(int, upper);
        QFETCH(int, position);
        QFETCH(int, filled);
        bar_->setBounds(lower, upper);
        bar_->setPosition(position);
        QCOMPARE(bar_->filledLength(kWidth), filled);
    }

    void paintsBandsUpToTheFilledLength() {
        bar_->setBackgroundColor(QColor(0, 255, 0));
        bar_->setPosition(50);
        const QImage img = render(*bar_);
        const int y = 2;  // above any text
        QCOMPARE(img.pixelColor(0, y), QColor(255, 0, 0));
        // 255 bands over 200 pixels: pixel x shows band x * 255 / 200, so pixel 99 band 126; the bands end
        // at the filled length, 100.
        QCOMPARE(img.pixelColor(99, y), QColor(255 - 126, 0, 126));
        QCOMPARE(img.pixelColor(100, y), QColor(0, 255, 0));
        QCOMPARE(img.pixelColor(kWidth - 1, y), QColor(0, 255, 0));
        // Colours only grow towards the end colour.
        for (int x = 1; x < 100; ++x) QVERIFY(img.pixelColor(x, y).blue() >= img.pixelColor(x - 1, y).blue());
        saveScreenshot(*bar_, QStringLiteral("gradient-half"));
    }

    void aFullBarEndsNearTheEndColour() {
        bar_->setPosition(100);
        const QImage img = render(*bar_);
        QCOMPARE(img.pixelColor(kWidth - 1, 2), QColor(2, 0, 253));  // band 199 * 255 / 200
    }

    void equalColoursPaintOneBand() {
        bar_->setStartColor(QColor(10, 20, 30));
        bar_->setEndColor(QColor(10, 20, 30));
        bar_->setPosition(100);
        QCOMPARE(countOf(render(*bar_), QColor(10, 20, 30)), kWidth * kHeight);
    }

    void aVerticalBarFillsFromTheTop() {
        bar_->setOrientation(Qt::Vertical);
        bar_->resize(kHeight, kWidth);
        bar_->setBackgroundColor(QColor(0, 255, 0));
        bar_->setPosition(25);
        const QImage img = render(*bar_);
        QCOMPARE(img.pixelColor(2, 0), QColor(255, 0, 0));
        QCOMPARE(img.pixelColor(2, 49), QColor(255 - 62, 0, 62));
        QCOMPARE(img.pixelColor(2, 50), QColor(0, 255, 0));
    }

    void atTheLowerBoundTheTextShowsEvenWithTextDisplayOff() {
        const QColor ink(0, 0, 0);
        bar_->setTextSuffix(QStringLiteral("%"));
        QVERIFY(!bar_->isTextShown());
        QCOMPARE(bar_->text(), QStringLiteral("0%"));
        QVERIFY(textPixels(*bar_, ink).count > 0);
        saveScreenshot(*bar_, QStringLiteral("gradient-zero"));
        // With text display off no other position prints it: not above the range, not inside it.
        bar_->setPosition(101);
        QCOMPARE(textPixels(*bar_, ink).count, 0);
        bar_->setPosition(50);
        QCOMPARE(textPixels(*bar_, ink).count, 0);
        // A range that does not start at 0 prints its own lower bound.
        bar_->setBounds(1, 3);
        QVERIFY(textPixels(*bar_, ink).count > 0);
    }

    void textDisplayPrintsPositionAndSuffixCentred() {
        const QColor ink(0, 0, 0);
        bar_->setTextShown(true);
        bar_->setTextSuffix(QStringLiteral("%"));
        bar_->setPosition(45);
        const TextPixels t = textPixels(*bar_, ink);
        QVERIFY(t.count > 0);
        QVERIFY2(qAbs((t.left + t.right + 1) / 2 - kWidth / 2) <= 2,
                 qPrintable(QStringLiteral("text from %1 to %2").arg(t.left).arg(t.right)));
        saveScreenshot(*bar_, QStringLiteral("gradient-45-percent"));
        // Below and above the range nothing is printed, with text display on as well.
        bar_->setPosition(150);
        QCOMPARE(textPixels(*bar_, ink).count, 0);
        bar_->setPosition(-1);
        QCOMPARE(textPixels(*bar_, ink).count, 0);
    }
};

QTEST_MAIN(GradientProgressTest)
#include "gradient_progress_test.moc"
