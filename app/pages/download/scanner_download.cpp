#include "pages/download/scanner_download.h"

#include "zt/scandata/atomic_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string_view>
#include <system_error>

namespace talvo::download {
namespace {

// The SDK writes at most 3071 text bytes and the zero byte.
constexpr std::size_t kTextBuffer = 3072;

// Appends the records' lines; false as soon as one cannot be fetched (the handle was closed under the
// download, e.g. the scanner was lost): the file would miss records and must not replace the earlier one.
bool writeRecords(ScannerHandle handle, int count, zt::scandata::LineForm form, zt::scandata::AtomicFile& file) {
    std::array<char, kTextBuffer> text{};
    for (int index = 0; index < count; ++index) {
        zt::scandata::ScanDataRecord record;
        int tag = 0;
        int length = 0;
        if (ztCollectingOnce(handle, index, &tag, record.time.data(), &record.value1, &record.value2, text.data(),
                             &length) != SDK_OK)
            return false;
        record.index = index;
        // Bounded by the buffer whatever the length says: a line holds at most 3071 text bytes.
        const auto size = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(length, 0)), 0, kTextBuffer - 1);
        record.text = std::string_view(text.data(), ::strnlen(text.data(), size));
        file.write(zt::scandata::formatScanDataLine(record, form));
    }
    return true;
}

}  // namespace

ScannerResult downloadScanner(ScannerHandle handle, const std::filesystem::path& file, zt::scandata::LineForm form,
                              CollectProgressCallback progress) {
    std::optional<zt::scandata::AtomicFile> temporary;
    try {
        temporary.emplace(file.parent_path(), kTemporaryPrefix);
    } catch (const std::system_error&) {
        return {ScannerOutcome::FileFailed, SDK_OK, 0};
    }
    ScannerResult result;
    result.result = ztPrepareCollecting(handle, &result.count, progress);
    if (result.result != SDK_OK && result.result != SDK_ERR_ABORTED) {
        result.outcome = ScannerOutcome::Failed;
        return result;
    }
    try {
        if (!writeRecords(handle, result.count, form, *temporary)) {
            result.outcome = ScannerOutcome::Failed;
            return result;
        }
        temporary->commit(file);
    } catch (const std::system_error&) {
        result.outcome = ScannerOutcome::WriteFailed;
        return result;
    }
    result.outcome = result.count == 0 ? ScannerOutcome::NoData : ScannerOutcome::Written;
    return result;
}

}  // namespace talvo::download
