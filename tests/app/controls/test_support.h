// Helpers of the control tests.
//
// Saves a widget's rendering as <dir>/<name>.png when TALVO_SCREENSHOT_DIR names a folder, so that the
// painting can be looked at; without it nothing is written.
#pragma once

#include <QDir>
#include <QRegularExpression>
#include <QString>
#include <QTest>
#include <QWidget>

inline void saveScreenshot(QWidget& widget, const QString& name) {
    const QString dir = qEnvironmentVariable("TALVO_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    widget.grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

// Any warning fails the running test, except the offscreen platform's note that it cannot pass size
// hints on to a window manager.
inline void failOnAnyWarning() {
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^(?!This plugin does not support propagateSizeHints).*")));
}
