// The five pages of the settings sheet, made anew each time the sheet opens.
#pragma once

#include "pages/configure/sheet/config_tab_page.h"

namespace talvo::config {

// The page of tab `tab` (CSettingSheetDlg::Tab), owned by `parent`.
[[nodiscard]] ConfigTabPage* makeSheetPage(int tab, SheetAccess& sheet, QWidget* parent);

}  // namespace talvo::config
