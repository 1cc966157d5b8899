// The common frame of the pages General, Symbology, Prefix/Suffix, Trigger and System: the apply check
// box "Configure this tab" at the top left with a black line across the page under it, the area of the
// page's own controls below, and the state of its scanner work. While a job of the page runs on the
// configure worker the page says "Reading..." or "Writing..." and its controls wait (disabled).
//
// A page is built empty; the sheet calls open() when its tab is shown for the first time, which builds
// the controls and starts the page's reads. At OK the sheet collects applyStep() of every opened page.
// An opened page lays itself out again (margins, apply box and line from the layout factor of its
// screen) when the orientation of its screen changes.
#pragma once

#include "pages/configure/sheet/sheet_access.h"

#include <QWidget>

#include <functional>
#include <stop_token>

class QCheckBox;
class QLabel;
class QVBoxLayout;

namespace talvo {
class OrientationWatcher;
}

namespace talvo::config {

// The writes of one page at OK, run on the configure worker.
using ApplyStep = std::function<void(std::stop_token)>;

class ConfigTabPage : public QWidget {
    Q_OBJECT

public:
    ConfigTabPage(const QString& caption, SheetAccess& sheet, bool hasApplyBox, QWidget* parent = nullptr);

    [[nodiscard]] const QString& caption() const { return caption_; }
    [[nodiscard]] bool isOpened() const { return opened_; }
    // Builds the controls and starts the reads; once.
    void open();
    // The page's writes for OK, or an empty step when its apply box is not ticked; the apply box is
    // removed in either case. Messages about typed values are shown here (ticked or not), on the
    // user-interface thread.
    [[nodiscard]] ApplyStep takeApplyStep();

    [[nodiscard]] QCheckBox* applyBox() const { return applyBox_; }
    [[nodiscard]] bool busy() const { return busyJobs_ > 0; }
    // The area of the page's own controls (null before open()).
    [[nodiscard]] QWidget* content() const { return content_; }
    // "Reading...", "Writing..." or empty.
    [[nodiscard]] QString busyText() const;
    // Lays the opened page out again for the layout factor of its screen now.
    void layOut();
    // Null before open().
    [[nodiscard]] OrientationWatcher* orientationWatcher() const { return orientation_; }

signals:
    void busyChanged(bool busy);

protected:
    // The page's controls go into `content`.
    virtual void buildControls(QWidget* content) = 0;
    // Starts the reads of the opened page (through runJob).
    virtual void startReading() = 0;
    // At OK, ticked or not: takes the typed values into the page's variables (and says which are not
    // numbers).
    virtual void takeTypedValues() {}
    // The writes at OK with the apply box ticked, from the variables; may return an empty step.
    [[nodiscard]] virtual ApplyStep makeApplyStep() = 0;
    // The page's own sizes that do not follow its layouts (after factor() changed).
    virtual void layOutControls() {}

    [[nodiscard]] SheetAccess& sheet() { return sheet_; }
    // A grey heading drawn at the top left instead of the apply box, with the line under it.
    void setHeaderText(const QString& text);
    [[nodiscard]] int factor() const { return factor_; }

    // Runs `work` on the configure worker, the page showing `what` and its controls waiting meanwhile;
    // `done` gets the result on the user-interface thread while the page and the sheet's session last.
    template <class Work, class Done>
    void runJob(const QString& what, Work work, Done done) {
        beginBusy(what);
        sheet_.worker().run(this, sheet_.session(), std::move(work),
                            [this, done = std::move(done)](auto result) mutable {
                                done(std::move(result));
                                endBusy();
                            });
    }

    void paintEvent(QPaintEvent* event) override;

private:
    // Margins, apply box and busy text for the present layout factor.
    void placeFrame();
    void beginBusy(const QString& what);
    void endBusy();

    QString caption_;
    SheetAccess& sheet_;
    bool hasApplyBox_;
    bool opened_ = false;
    int factor_ = 1;
    int busyJobs_ = 0;
    QString busyWhat_;
    QString headerText_;
    QCheckBox* applyBox_ = nullptr;
    QLabel* busyLabel_ = nullptr;
    QWidget* content_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
    OrientationWatcher* orientation_ = nullptr;
};

}  // namespace talvo::config
