#include "ztdevsearch.h"

DeviceRecord::DeviceRecord(std::int32_t portNumber, std::wstring_view deviceName)
    : port(portNumber), name(deviceName) {}

DeviceRecord::~DeviceRecord() = default;

std::int32_t DeviceRecord::GetPort() const { return port; }
const wchar_t* DeviceRecord::GetName() const { return name.c_str(); }
ScannerHandle DeviceRecord::GetHandle() const { return handle; }
std::int32_t DeviceRecord::GetState() const { return state; }
