// The notice panel (frame, CR LF lines, MsgSetNoticeText) and the About page (its five lines spread
// by the gap rule), at layout factors 1 and 2, read back from their rendering.
#include "controls/layout_factor.h"
#include "controls/notice_dlg.h"
#include "messages/app_messages.h"
#include "pages/about/about_page.h"
#include "test_support.h"

#include <QTest>

#include <algorithm>
#include <optional>

using namespace talvo;

namespace {

// Rows and columns of the image holding text: pixels near `ink` (antialiased edges count when they are
// closer to the ink than to the light background).
struct InkBox {
    int top = -1;
    int bottom = -1;
    int left = -1;
    int right = -1;
    [[nodiscard]] bool empty() const { return top < 0; }
};

InkBox inkIn(const QImage& image, const QColor& ink, const QRect& area) {
    InkBox box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qAbs(qGray(image.pixel(x, y)) - qGray(ink.rgb())) > 100) continue;
            if (box.empty()) box = {y, y, x, x};
            box.bottom = y;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
        }
    return box;
}

QString downloadText() { return QStringLiteral("Downloading...\r\nZT-550 A    Done!\r\nZT-550 B   Wait.."); }

}  // namespace

class PanelsTest : public QObject {
    Q_OBJECT

    QWidget* page_ = nullptr;
    CNoticeDlg* notice_ = nullptr;

    [[nodiscard]] QImage noticeImage() const { return notice_->grab().toImage(); }
    [[nodiscard]] QColor ink() const { return notice_->palette().color(QPalette::WindowText); }
    [[nodiscard]] QColor paper() const { return notice_->palette().color(QPalette::Window); }
    [[nodiscard]] QRect inside() const { return notice_->rect().adjusted(1, 1, -1, -1); }

private slots:
    void init() {
        failOnAnyWarning();
        page_ = new QWidget;
        page_->resize(320, 240);
        notice_ = new CNoticeDlg(page_);
        notice_->setGeometry(20, 20, 280, 200);
    }
    void cleanup() {
        delete page_;
        setLayoutFactorOverride(0);
    }

    // --- notice panel ---

    void emptyTextKeepsTheFrame() {
        notice_->setText(downloadText());
        notice_->setText(QString());
        const QImage img = noticeImage();
        for (const QPoint p :
             {QPoint(0, 0), QPoint(279, 0), QPoint(0, 199), QPoint(279, 199), QPoint(140, 0), QPoint(0, 100)})
            QCOMPARE(img.pixelColor(p).rgb(), ink().rgb());
        QVERIFY(inkIn(img, ink(), inside()).empty());
        QVERIFY(notice_->paintedLines().isEmpty());
        saveScreenshot(*notice_, QStringLiteral("notice-empty"));
    }

    void eachCrLfLineIsCentredOnALineOfItsOwn() {
        notice_->setText(downloadText());
        QCOMPARE(notice_->paintedLines(), (QStringList{"Downloading...", "ZT-550 A    Done!", "ZT-550 B   Wait.."}));
        const QImage img = noticeImage();
        for (int i = 0; i < 3; ++i) {
            const QRect line = notice_->paintedLineRect(i).intersected(inside());
            const InkBox box = inkIn(img, ink(), line);
            QVERIFY2(!box.empty(), qPrintable(QStringLiteral("line %1 not painted").arg(i)));
            QVERIFY2(qAbs((box.left + box.right + 1) / 2 - 140) <= 2,
                     qPrintable(QStringLiteral("line %1 from %2 to %3").arg(i).arg(box.left).arg(box.right)));
        }
        QCOMPARE(notice_->paintedLineRect(1).top(), notice_->paintedLineRect(0).bottom() + 1);
        saveScreenshot(*notice_, QStringLiteral("notice-three-lines"));
    }

    void topMarginScalesWithTheLayoutFactor() {
        notice_->setText(QStringLiteral("Download\r\nCompleted!"));
        const int top1 = inkIn(noticeImage(), ink(), inside()).top;
        QCOMPARE(notice_->paintedLineRect(0).top(), 10);
        setLayoutFactorOverride(2);
        notice_->update();
        const int top2 = inkIn(noticeImage(), ink(), inside()).top;
        QCOMPARE(notice_->paintedLineRect(0).top(), 20);
        QCOMPARE(top2 - top1, 10);
    }

    void setNoticeTextMessage() {
        notice_->setText(QStringLiteral("before"));
        const std::optional<MessageReply> ignored = sendMessage(notice_, AppMessage::SetNoticeText, 0, 0);
        QVERIFY(ignored.has_value());
        QCOMPARE(ignored->result, MessageArg{1});
        QCOMPARE(notice_->text(), QStringLiteral("before"));  // a null text leaves the previous one

        QString text = QStringLiteral("Downloading...");
        const std::optional<MessageReply> taken = sendMessage(notice_, AppMessage::SetNoticeText, 0, pointerArg(&text));
        QVERIFY(taken.has_value());
        QCOMPARE(taken->result, MessageArg{0});
        text = QStringLiteral("changed afterwards");
        QCOMPARE(notice_->text(), QStringLiteral("Downloading..."));  // copied, not referenced

        postMessage(notice_, AppMessage::SetNoticeText, 0, 0, QStringLiteral("posted"));
        QCOMPARE(notice_->text(), QStringLiteral("Downloading..."));
        QCoreApplication::sendPostedEvents(notice_);
        QCOMPARE(notice_->text(), QStringLiteral("posted"));
    }

    // --- About page ---

    void aboutLines() {
        const QStringList lines = CAboutPage::lines();
        QCOMPARE(lines.size(), CAboutPage::kLineCount);
        QCOMPARE(lines[0], QStringLiteral("Talvo Scan"));
        QCOMPARE(lines[1], QStringLiteral("Version 1.2"));
        QVERIFY(lines[2].contains(QStringLiteral(TALVO_TEST_PROJECT_VERSION)));
        QVERIFY(lines[3].startsWith(QStringLiteral("Licence: ")));
        QVERIFY(lines[4].startsWith(QStringLiteral("Source: ")));
    }

    // The keyboard line is asked for at every layout (its text changes once the portal has answered) and
    // takes part in the gap rule as a sixth line; without it the page has its five lines.
    void aboutKeyboardLine() {
        setLayoutFactorOverride(1);
        CAboutPage about;
        about.resize(320, 240);
        QString text = QStringLiteral("Keyboard output: none (no X display and no Wayland session)");
        about.setKeyboardDescription([&text] { return text; });
        QCOMPARE(about.paintedLines().size(), 6);
        QCOMPARE(about.paintedLines().last(), text);
        text = QStringLiteral("Keyboard output: X11 (XTest) on display :5");
        QCOMPARE(about.paintedLines().last(), text);
        const QList<QRect> rects = about.lineRects();
        QCOMPARE(rects.size(), 6);
        int sum = 0;
        for (const QRect& r : rects) sum += r.height();
        QCOMPARE(rects[0].top(), std::max(0, (240 - sum) / 7));
        about.setKeyboardDescription({});
        QCOMPARE(about.paintedLines(), CAboutPage::lines());
    }

    void aboutGapRule_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("factor 1") << 1 << 320 << 240;
        QTest::newRow("factor 2") << 2 << 320 << 240;
        QTest::newRow("narrow: lines wrap") << 1 << 70 << 400;
        QTest::newRow("lower than its lines") << 1 << 320 << 30;
    }
    void aboutGapRule() {
        QFETCH(int, k);
        QFETCH(int, width);
        QFETCH(int, height);
        setLayoutFactorOverride(k);
        CAboutPage about;
        about.resize(width, height);
        const QList<QRect> rects = about.lineRects();
        QCOMPARE(rects.size(), 5);
        int sum = 0;
        for (const QRect& r : rects) {
            QCOMPARE(r.left(), 10 * k);
            QCOMPARE(r.right(), width - 1);
            sum += r.height();
        }
        const int gap = std::max(0, (height - sum) / 6);
        QCOMPARE(rects[0].top(), gap);
        for (int i = 1; i < 5; ++i) QCOMPARE(rects[i].top() - (rects[i - 1].bottom() + 1), gap);
        if (height > sum) {
            const int below = height - (rects[4].bottom() + 1);
            QVERIFY(below >= gap && below < gap + 6);  // the remainder of the division falls below the last
        }
    }

    void aboutPaintsEveryLineInItsPlace_data() {
        QTest::addColumn<int>("k");
        QTest::newRow("1") << 1;
        QTest::newRow("2") << 2;
    }
    void aboutPaintsEveryLineInItsPlace() {
        QFETCH(int, k);
        setLayoutFactorOverride(k);
        CAboutPage about;
        about.resize(320, 240);
        const QImage img = about.grab().toImage();
        const QColor text = about.palette().color(QPalette::WindowText);
        const QList<QRect> rects = about.lineRects();
        int leftmost = img.width();
        for (const QRect& r : rects) {
            const InkBox box = inkIn(img, text, r);
            QVERIFY(!box.empty());
            leftmost = std::min(leftmost, box.left);
        }
        QVERIFY(leftmost >= 10 * k && leftmost <= 10 * k + 3);
        // Nothing is painted in the gaps.
        for (int i = 1; i < rects.size(); ++i) {
            const QRect gap(0, rects[i - 1].bottom() + 1, img.width(), rects[i].top() - rects[i - 1].bottom() - 1);
            if (gap.height() > 0) QVERIFY(inkIn(img, text, gap).empty());
        }
        saveScreenshot(about, QStringLiteral("about-k%1").arg(k));
    }
};

QTEST_MAIN(PanelsTest)
#include "panels_test.moc"
