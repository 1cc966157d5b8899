// The exported entry point: runs the search with the machine's own sources and hands the records over.
#include <exception>
#include <memory>

#include "bluez_pairing_source.h"
#include "device_search.h"
#include "trace.h"
#include "ztdevsearch.h"

namespace {

using zt::devsearch::FoundDevice;

// Replaces the list's content with new records, or leaves it untouched if that cannot be done in full:
// the records are built first and the list is swapped in only when nothing can fail any more.
void replaceList(DeviceRecordList& list, const std::vector<FoundDevice>& found) {
    std::vector<std::unique_ptr<DeviceRecord>> records;
    records.reserve(found.size());
    for (const FoundDevice& device : found) records.push_back(std::make_unique<DeviceRecord>(device.port, device.name));
    DeviceRecordList fresh;
    for (const auto& record : records) fresh.push_back(record.get());
    // From here on the caller owns the records; the previous pointers are dropped, not deleted.
    for (auto& record : records) static_cast<void>(record.release());
    list.swap(fresh);
}

}  // namespace

extern "C" void SearchingDevice(DeviceRecordList& list) noexcept {
    try {
        const auto hive = zt::registry::RegistryHive::loadSystem();
        zt::devsearch::SysfsRfcommBindings ttys(zt::devsearch::SysfsRfcommBindings::configuredDir());
        zt::devsearch::BluezPairingSource pairings(zt::devsearch::BluezPairingSource::configuredAddress());
        const zt::devsearch::SearchResult result = zt::devsearch::searchDevices(hive, ttys, pairings);
        if (result) replaceList(list, *result);
    } catch (const std::exception& error) {
        zt::devsearch::trace(std::string("search failed: ") + error.what());
    } catch (...) {
        zt::devsearch::trace("search failed");
    }
}
