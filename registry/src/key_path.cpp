#include "key_path.h"

#include <array>

#include "case_fold.h"

namespace zt::registry::detail {
namespace {

struct RootName {
    std::string_view full;
    std::string_view abbreviation;
};

constexpr std::array kRoots{
    RootName{kLocalMachine, "HKLM"}, RootName{"HKEY_CURRENT_USER", "HKCU"},   RootName{"HKEY_CLASSES_ROOT", "HKCR"},
    RootName{"HKEY_USERS", "HKU"},   RootName{"HKEY_CURRENT_CONFIG", "HKCC"},
};

}  // namespace

std::optional<std::vector<std::string_view>> splitKeyPath(std::string_view path) {
    std::vector<std::string_view> names;
    if (path.empty()) return names;
    for (;;) {
        const std::size_t cut = path.find('\\');
        const std::string_view name = path.substr(0, cut);
        if (name.empty()) return std::nullopt;
        names.push_back(name);
        if (cut == std::string_view::npos) return names;
        path.remove_prefix(cut + 1);
    }
}

std::optional<std::string_view> canonicalRoot(std::string_view name) {
    const std::string folded = foldName(name);
    for (const RootName& root : kRoots)
        if (folded == root.full || folded == root.abbreviation) return root.full;
    return std::nullopt;
}

}  // namespace zt::registry::detail
