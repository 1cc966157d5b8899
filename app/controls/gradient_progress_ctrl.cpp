#include "controls/gradient_progress_ctrl.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace talvo {

CGradientProgressCtrl::CGradientProgressCtrl(QWidget* parent) : QProgressBar(parent) {
    setTextVisible(true);
    syncValue();
}

void CGradientProgressCtrl::setBounds(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    position_ = lower;
    syncValue();
}

void CGradientProgressCtrl::setPosition(int position) {
    position_ = position;
    syncValue();
}

void CGradientProgressCtrl::setStartColor(const QColor& color) {
    start_ = color;
    update();
}
void CGradientProgressCtrl::setEndColor(const QColor& color) {
    end_ = color;
    update();
}
void CGradientProgressCtrl::setBackgroundColor(const QColor& color) {
    background_ = color;
    update();
}
void CGradientProgressCtrl::setTextColor(const QColor& color) {
    textColor_ = color;
    update();
}
void CGradientProgressCtrl::setTextShown(bool shown) {
    textShown_ = shown;
    update();
}
void CGradientProgressCtrl::setTextSuffix(const QString& suffix) {
    suffix_ = suffix;
    update();
}

QColor CGradientProgressCtrl::backgroundColor() const {
    return background_.isValid() ? background_ : palette().color(QPalette::Button);
}

QString CGradientProgressCtrl::text() const { return QString::number(position_) + suffix_; }

int CGradientProgressCtrl::bandCount(const QColor& start, const QColor& end) {
    const int n = std::max({std::abs(end.red() - start.red()), std::abs(end.green() - start.green()),
                            std::abs(end.blue() - start.blue())});
    return std::max(1, n);
}

QColor CGradientProgressCtrl::bandColor(const QColor& start, const QColor& end, int i, int n) {
    const auto part = [i, n](int from, int to) { return from + i * (to - from) / n; };
    return {part(start.red(), end.red()), part(start.green(), end.green()), part(start.blue(), end.blue())};
}

int CGradientProgressCtrl::filledLength(int length) const {
    if (position_ <= lower_ || position_ > upper_) return 0;
    // Measured from the lower bound, so that a range not starting at 0 fills in proportion too
    // (position / upper would overfill it, and divide by zero for an upper bound of 0).
    const double share = double(position_ - lower_) / double(upper_ - lower_);
    return static_cast<int>(share * length);
}

void CGradientProgressCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect bar = rect();
    const bool vertical = orientation() == Qt::Vertical;
    const int length = vertical ? bar.height() : bar.width();
    const int filled = filledLength(length);
    painter.fillRect(bar, backgroundColor());

    if (filled > 0) {
        // The whole length is cut into n bands; those up to the filled length are painted, the last one
        // cut off where the filling ends. A band starts at the first pixel at or after i * length / n, so
        // pixel x shows band x * n / length, also when bands are narrower than a pixel.
        const int n = bandCount(start_, end_);
        const auto bandStart = [length, n](int i) { return static_cast<int>((std::int64_t{i} * length + n - 1) / n); };
        for (int i = 0; i < n; ++i) {
            const int from = bandStart(i);
            if (from >= filled) break;
            const int to = std::min(filled, bandStart(i + 1));
            if (to <= from) continue;
            const QRect band = vertical ? QRect(bar.left(), bar.top() + from, bar.width(), to - from)
                                        : QRect(bar.left() + from, bar.top(), to - from, bar.height());
            painter.fillRect(band, bandColor(start_, end_, i, n));
        }
    }

    // An empty bar shows the text only at the lower bound, and there even with text display off.
    const bool empty = position_ <= lower_ || position_ > upper_;
    if (empty ? position_ == lower_ : textShown_) {
        painter.setPen(textColor_);
        painter.setFont(font());
        painter.drawText(bar, Qt::AlignCenter | Qt::TextSingleLine, text());
    }
}

void CGradientProgressCtrl::syncValue() {
    // QProgressBar keeps its value inside the range; it mirrors the position for accessibility.
    setRange(std::min(lower_, upper_), std::max(lower_, upper_));
    setValue(std::clamp(position_, minimum(), maximum()));
    update();
}

}  // namespace talvo
