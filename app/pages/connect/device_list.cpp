#include "pages/connect/device_list.h"

#include "connection/device_state.h"
#include "connection/record_fields.h"

#include <QHeaderView>

CDeviceList::CDeviceList(QWidget* parent)
    : talvo::CListCtrlExt(parent),
      model_(new DeviceRowModel({{QStringLiteral("Device Name")}, {QStringLiteral("Status")}}, true,
                                &CDeviceList::cellText, this)) {
    setModel(model_);
    setHeaderCheck(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    setAccessibleName(QStringLiteral("Device List"));
}

QString CDeviceList::displayName(const wchar_t* name) {
    QString shown;
    if (name == nullptr) return shown;
    for (const wchar_t* p = name; *p != L'\0'; ++p) {
        const auto c = static_cast<char32_t>(*p);
        const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
        const bool noCharacter = (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF;
        const char32_t shownChar = control || noCharacter ? char32_t{0xFFFD} : c;
        shown += QString::fromUcs4(&shownChar, 1);
    }
    return shown;
}

QString CDeviceList::cellText(const DeviceRecord& record, int column) {
    if (column == 0) return displayName(record.GetName());
    return QString::fromLatin1(talvo::statusText(talvo::recordState(record)));
}
