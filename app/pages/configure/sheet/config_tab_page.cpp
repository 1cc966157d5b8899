#include "pages/configure/sheet/config_tab_page.h"

#include "controls/label_text.h"
#include "controls/layout_factor.h"
#include "controls/orientation_watcher.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace talvo::config {
namespace {

// The apply box spans (5, 4) to (150, 22) and the line lies at 24, in units of the layout factor.
constexpr int kBoxLeft = 5;
constexpr int kBoxTop = 4;
constexpr int kBoxRight = 150;
constexpr int kBoxBottom = 22;
constexpr int kLineY = 24;
constexpr int kMargin = 5;
constexpr int kBusyWidth = 80;

}  // namespace

ConfigTabPage::ConfigTabPage(const QString& caption, SheetAccess& sheet, bool hasApplyBox, QWidget* parent)
    : QWidget(parent), caption_(caption), sheet_(sheet), hasApplyBox_(hasApplyBox) {
    setAccessibleName(caption_);
}

void ConfigTabPage::open() {
    if (opened_) return;
    opened_ = true;
    layout_ = new QVBoxLayout(this);
    content_ = new QWidget(this);
    layout_->addWidget(content_, 1);
    if (hasApplyBox_) {
        applyBox_ = new QCheckBox(QStringLiteral("Configure this tab"), this);
        applyBox_->setAccessibleName(applyBox_->text());
        // Made while the page may already be shown, and in no layout: shown by hand.
        applyBox_->show();
    }
    busyLabel_ = new QLabel(this);
    busyLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    busyLabel_->hide();
    placeFrame();
    buildControls(content_);
    orientation_ = new OrientationWatcher(this, [this] { layOut(); });
    startReading();
}

void ConfigTabPage::placeFrame() {
    factor_ = layoutFactor(this);
    const int k = factor_;
    layout_->setContentsMargins(kMargin * k, (kLineY + 2) * k, kMargin * k, kMargin * k);
    if (applyBox_ != nullptr) {
        applyBox_->setGeometry(kBoxLeft * k, kBoxTop * k, (kBoxRight - kBoxLeft) * k, (kBoxBottom - kBoxTop) * k);
    }
    busyLabel_->setGeometry((kBoxRight + 2) * k, kBoxTop * k, kBusyWidth * k, (kBoxBottom - kBoxTop) * k);
}

void ConfigTabPage::layOut() {
    if (!opened_) return;
    placeFrame();
    layOutControls();
    update();
}

ApplyStep ConfigTabPage::takeApplyStep() {
    if (!opened_) return {};
    const bool ticked = applyBox_ != nullptr && applyBox_->isChecked() && applyBox_->isEnabled();
    if (!busy()) takeTypedValues();  // a page still reading has nothing typed yet
    ApplyStep step = ticked ? makeApplyStep() : ApplyStep{};
    if (applyBox_ != nullptr) {
        std::unique_ptr<QCheckBox>{applyBox_}.reset();
        applyBox_ = nullptr;
    }
    return step;
}

QString ConfigTabPage::busyText() const { return busyJobs_ > 0 ? busyWhat_ : QString(); }

void ConfigTabPage::beginBusy(const QString& what) {
    busyWhat_ = what;
    if (busyJobs_++ == 0) {
        if (content_ != nullptr) content_->setEnabled(false);
        if (applyBox_ != nullptr) applyBox_->setEnabled(false);
        emit busyChanged(true);
    }
    if (busyLabel_ != nullptr) {
        showLabelText(busyLabel_, what);
        busyLabel_->show();
    }
}

void ConfigTabPage::endBusy() {
    if (busyJobs_ == 0 || --busyJobs_ > 0) return;
    if (content_ != nullptr) content_->setEnabled(true);
    if (applyBox_ != nullptr) applyBox_->setEnabled(true);
    if (busyLabel_ != nullptr) busyLabel_->hide();
    emit busyChanged(false);
}

void ConfigTabPage::setHeaderText(const QString& text) {
    headerText_ = text;
    update();
}

void ConfigTabPage::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!hasApplyBox_ && headerText_.isEmpty()) return;
    QPainter painter(this);
    if (!headerText_.isEmpty()) {
        const int k = factor_;
        painter.setPen(QColor(128, 128, 128));
        painter.drawText(QRect(kBoxLeft * k, kBoxTop * k, (kBoxRight - kBoxLeft) * k, (kBoxBottom - kBoxTop) * k),
                         Qt::AlignLeft | Qt::AlignVCenter, headerText_);
    }
    painter.setPen(QPen(Qt::black, factor_));
    painter.drawLine(0, kLineY * factor_, width(), kLineY * factor_);
}

}  // namespace talvo::config
