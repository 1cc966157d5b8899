#include "messages/main_sheet_ref.h"

#include <QPointer>

namespace talvo {
namespace {
// Set and read on the user-interface thread only.
QPointer<QObject>& sheetPointer() {
    static QPointer<QObject> sheet;
    return sheet;
}
}  // namespace

QObject* mainSheet() { return sheetPointer().data(); }
void setMainSheet(QObject* sheet) { sheetPointer() = sheet; }

}  // namespace talvo
