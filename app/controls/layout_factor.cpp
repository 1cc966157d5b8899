#include "controls/layout_factor.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <atomic>

namespace talvo {
namespace {

// Logical DPI of the screen the pages' margins were drawn for.
constexpr double kReferenceDpi = 96.0;

std::atomic<int> g_override{0};

}  // namespace

int layoutFactorForDpi(double logicalDpi) {
    if (!(logicalDpi > 0.0)) return 1;  // also catches NaN
    return std::max(1, static_cast<int>(logicalDpi / kReferenceDpi));
}

int layoutFactor(const QScreen* screen) {
    if (const int forced = g_override.load(std::memory_order_relaxed); forced > 0) return forced;
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? layoutFactorForDpi(screen->logicalDotsPerInch()) : 1;
}

int layoutFactor(const QWidget* widget) { return layoutFactor(widget != nullptr ? widget->screen() : nullptr); }

void setLayoutFactorOverride(int factor) { g_override.store(std::max(0, factor), std::memory_order_relaxed); }

}  // namespace talvo
