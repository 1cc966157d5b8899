#pragma once

class QScreen;
class QWidget;

namespace talvo {

// Whole-number factor by which the pages multiply the margins and sizes they express for a 96-DPI
// screen: the screen's logical DPI / 96, at least 1. Qt's own high-DPI scaling covers the rest.
[[nodiscard]] int layoutFactorForDpi(double logicalDpi);

// Factor of `screen`; a null screen means the primary screen, and no screen at all gives 1.
[[nodiscard]] int layoutFactor(const QScreen* screen);

// Factor of the screen `widget` stands on (the primary screen for a null widget).
[[nodiscard]] int layoutFactor(const QWidget* widget);

// Tests: a factor > 0 replaces the screen's for every caller; 0 returns to the screen's.
void setLayoutFactorOverride(int factor);

}  // namespace talvo
