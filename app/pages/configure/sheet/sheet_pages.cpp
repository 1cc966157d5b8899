#include "pages/configure/sheet/sheet_pages.h"

#include "pages/configure/sheet/general_page.h"
#include "pages/configure/sheet/prefix_suffix_page.h"
#include "pages/configure/sheet/setting_sheet_dlg.h"
#include "pages/configure/sheet/symbology_page.h"
#include "pages/configure/sheet/system_page.h"
#include "pages/configure/sheet/trigger_page.h"

namespace talvo::config {

ConfigTabPage* makeSheetPage(int tab, SheetAccess& sheet, QWidget* parent) {
    switch (tab) {
        case CSettingSheetDlg::GeneralTab: return new CGeneralPage(sheet, parent);
        case CSettingSheetDlg::SymbologyTab: return new CSymbologyPage(sheet, parent);
        case CSettingSheetDlg::PrefixSuffixTab: return new CPrefixSuffixPage(sheet, parent);
        case CSettingSheetDlg::TriggerTab: return new CTriggerPage(sheet, parent);
        default: return new CSystemPage(sheet, parent);
    }
}

}  // namespace talvo::config
