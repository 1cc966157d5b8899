#include "config/sheet_pages.h"

#include "config/general_page.h"
#include "config/prefix_suffix_page.h"
#include "config/setting_sheet_dlg.h"
#include "config/symbology_page.h"
#include "config/system_page.h"
#include "config/trigger_page.h"

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
