// The program's notices for the user, one line under the tabs of the main sheet, on every page: what the
// program could not do on its own and the user should know (a barcode kept aside, a scanner clock that
// was not set, barcodes that are not typed). The newest notice is shown, with the time it came; each
// replaces the one before. Hidden until the first notice. A screen reader is told of each new one.
//
// MsgSetNoticeText with a QString payload (posted from any thread) shows that text; an empty one hides
// the line.
#pragma once

#include <QLabel>
#include <QString>

namespace talvo {

class CNoticeLine : public QLabel {
    Q_OBJECT

public:
    explicit CNoticeLine(QWidget* parent = nullptr);

    // Shows `text`, stamped with this machine's time; empty hides the line.
    void showNotice(const QString& text);
    // The notice shown now, without its time; empty when none.
    [[nodiscard]] const QString& notice() const { return notice_; }

protected:
    void customEvent(QEvent* event) override;

private:
    QString notice_;
};

}  // namespace talvo
