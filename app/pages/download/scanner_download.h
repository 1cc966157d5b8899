// Downloads one scanner's stored records into its scan-data file. The records go to a temporary file in
// the data folder that replaces the earlier file only when the download succeeded or was cut short with
// SDK_ERR_ABORTED (the records received until then are kept) and every record could be fetched; after
// any other failure the earlier file stays as it was. No stored records give an empty file.
#pragma once

#include "zt/scandata/scan_data_line.h"
#include "zt330sdk.h"

#include <filesystem>
#include <string>

namespace talvo::download {

enum class ScannerOutcome {
    Written,      // the file holds the records (count > 0)
    NoData,       // an empty file
    Failed,       // the download failed or a record could not be fetched; the earlier file is untouched
    FileFailed,   // the temporary file could not be made: nothing was asked of the scanner
    WriteFailed,  // the records arrived but the file could not be written; the earlier file is untouched
};

struct ScannerResult {
    ScannerOutcome outcome = ScannerOutcome::Failed;
    int result = SDK_OK;  // of ztPrepareCollecting
    int count = 0;
};

// Prefix of the temporary files in the data folder.
inline constexpr const char* kTemporaryPrefix = ".TalvoScan-download-";

[[nodiscard]] ScannerResult downloadScanner(ScannerHandle handle, const std::filesystem::path& file,
                                            zt::scandata::LineForm form, CollectProgressCallback progress);

}  // namespace talvo::download
