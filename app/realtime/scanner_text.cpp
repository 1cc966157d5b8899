#include "realtime/scanner_text.h"

#include "zt/client/display_form.h"
#include "zt/client/text_decoding.h"

namespace talvo {

bool plausibleScanTime(const ScanTimeBytes& time) { return zt::client::plausibleTime(time); }

QString formatScanTime(const ScanTimeBytes& time) {
    return QString::fromStdString(zt::client::formatScannerTime(time));
}

QString displayForm(const QString& text) { return QString::fromStdString(zt::client::listForm(text.toStdString())); }

QString decodeLocalText(std::string_view bytes, const char* codeset) {
    if (codeset != nullptr && *codeset != '\0') {
        return QString::fromStdString(zt::client::TextDecoder(codeset).decode(bytes));
    }
    // The dispatcher thread decodes every live barcode: keep its converter open.
    thread_local zt::client::TextDecoder localDecoder = zt::client::TextDecoder::forLocale();
    return QString::fromStdString(localDecoder.decode(bytes));
}

}  // namespace talvo
