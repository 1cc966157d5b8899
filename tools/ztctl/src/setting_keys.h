// Every get/set operation of the SDK as a named key, for `get`, `set`, `keys` and `info`.
#pragma once

#include "zt330sdk.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ztctl {

// One setting read from a scanner: the text that `get` prints (and that `set` takes back, for keys that
// can be set) and the same value as JSON.
struct Reading {
    std::string text;
    std::string json;
    // False when the SDK succeeded but wrote nothing (an answer it could not use): no value to show.
    bool written = true;
};

// A checked value, ready to be written to any number of scanners; returns the SDK's result.
using Apply = std::function<int(ScannerHandle)>;

struct SettingKey {
    std::string_view name;
    std::string_view summary;
    std::string_view syntax;  // what `set` takes; empty for keys that can only be read
    bool inInfo = true;       // shown by `info`
    int (*read)(ScannerHandle, Reading&) = nullptr;
    // Checks the value words; throws UsageError. Null for keys that can only be read.
    Apply (*parse)(std::span<const std::string_view> words) = nullptr;
};

[[nodiscard]] std::span<const SettingKey> settingKeys();
// Null for an unknown name.
[[nodiscard]] const SettingKey* findSettingKey(std::string_view name);
// `name` with '-' replaced by '_', for JSON members.
[[nodiscard]] std::string jsonName(std::string_view name);

}  // namespace ztctl
