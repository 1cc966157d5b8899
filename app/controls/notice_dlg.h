#pragma once

#include "controls/painted_lines_accessible.h"

#include <QString>
#include <QStringList>
#include <QWidget>

namespace talvo {

// Borderless child panel that shows a status text inside a frame drawn along its edges. The text may
// hold several lines separated by CR LF; each is painted as a line of its own, centred, the first one
// 10 scaled pixels below the top edge. The panel keeps its text until it is replaced.
//
// MsgSetNoticeText: the second argument is a `const QString*` (valid for the duration of a send);
// null is ignored with result 1, otherwise the text is copied and painted, result 0. A QString payload
// is taken as the text as well, so that the message can also be posted.
class CNoticeDlg : public QWidget, public PaintedLines {
    Q_OBJECT

public:
    // Margin above the first line, in units of the layout factor.
    static constexpr int kTopMargin = 10;

    explicit CNoticeDlg(QWidget* parent);

    void setText(const QString& text);
    [[nodiscard]] const QString& text() const { return text_; }

    // The lines of the text, split at CR LF; none for an empty text.
    [[nodiscard]] QStringList paintedLines() const override;
    [[nodiscard]] QRect paintedLineRect(int i) const override;

protected:
    void customEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

}  // namespace talvo
