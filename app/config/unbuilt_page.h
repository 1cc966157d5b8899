// A page of the settings sheet that this build does not offer yet: its caption, no apply box, no
// scanner calls.
#pragma once

#include "config/config_tab_page.h"

namespace talvo::config {

class UnbuiltPage final : public ConfigTabPage {
    Q_OBJECT

public:
    UnbuiltPage(const QString& caption, SheetAccess& sheet, QWidget* parent);

protected:
    void buildControls(QWidget* content) override;
    void startReading() override {}
    [[nodiscard]] ApplyStep makeApplyStep() override { return {}; }
};

}  // namespace talvo::config
