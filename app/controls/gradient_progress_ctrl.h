#pragma once

#include <QColor>
#include <QProgressBar>
#include <QString>

namespace talvo {

// Progress bar that paints its filled part as a ramp of colour bands from the start colour (at the
// empty end) to the end colour, and can print its position followed by a suffix ("45%", "2/3").
// Use setBounds/setPosition/stepIt rather than QProgressBar's setRange/setValue: the position may lie
// outside the range (the bar is then empty), which QProgressBar's value cannot. QProgressBar's value
// mirrors the position, clamped, for assistive technologies; its text() is the painted text.
//
// Defaults: range 0..100, step 10, position 0, red to blue, background the palette's button colour,
// white text, text display off, no suffix. A position at or below the lower bound, or above the
// upper one, leaves the bar empty; at the lower bound itself the text is printed even with text
// display off. A vertical bar fills from the top.
class CGradientProgressCtrl : public QProgressBar {
    Q_OBJECT

public:
    explicit CGradientProgressCtrl(QWidget* parent = nullptr);

    // The position becomes `lower`.
    void setBounds(int lower, int upper);
    [[nodiscard]] int lower() const { return lower_; }
    [[nodiscard]] int upper() const { return upper_; }

    void setPosition(int position);
    [[nodiscard]] int position() const { return position_; }
    void setStep(int step) { step_ = step; }
    [[nodiscard]] int step() const { return step_; }
    // The position grows by the step.
    void stepIt() { setPosition(position_ + step_); }

    void setStartColor(const QColor& color);
    void setEndColor(const QColor& color);
    // An invalid colour returns to the palette's button colour.
    void setBackgroundColor(const QColor& color);
    void setTextColor(const QColor& color);
    [[nodiscard]] QColor startColor() const { return start_; }
    [[nodiscard]] QColor endColor() const { return end_; }
    [[nodiscard]] QColor backgroundColor() const;
    [[nodiscard]] QColor textColor() const { return textColor_; }

    void setTextShown(bool shown);
    [[nodiscard]] bool isTextShown() const { return textShown_; }
    void setTextSuffix(const QString& suffix);
    [[nodiscard]] QString textSuffix() const { return suffix_; }

    // The position followed by the suffix.
    [[nodiscard]] QString text() const override;

    // Number of colour bands between two colours: the largest difference of their red, green and blue
    // components; 1 when the colours are equal (one band of the start colour).
    [[nodiscard]] static int bandCount(const QColor& start, const QColor& end);
    // Colour of band i of n: each component start + i * (end - start) / n.
    [[nodiscard]] static QColor bandColor(const QColor& start, const QColor& end, int i, int n);
    // Length of the filled part for a bar of `length` pixels, truncated; 0 when the bar is empty.
    [[nodiscard]] int filledLength(int length) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void syncValue();

    int lower_ = 0;
    int upper_ = 100;
    int step_ = 10;
    int position_ = 0;
    QColor start_{255, 0, 0};
    QColor end_{0, 0, 255};
    QColor background_;  // invalid: the palette's button colour
    QColor textColor_{255, 255, 255};
    bool textShown_ = false;
    QString suffix_;
};

}  // namespace talvo
