#include <cstdlib>
#include <string>
#include <utility>

#include "hive_store.h"
#include "key_path.h"
#include "reg_file_parser.h"
#include "text_codec.h"
#include "zt/registry/registry.h"

namespace zt::registry {
namespace {

constexpr const char* kDefaultHivePath = "/etc/zt330/registry.reg";

[[nodiscard]] std::optional<std::u32string> stringData(const RegistryValue& value) {
    if (value.type != kRegString && value.type != kRegExpandString) return std::nullopt;
    return detail::utf16LeToCodePoints(value.data);
}

}  // namespace

std::optional<std::wstring> RegistryValue::wideText() const {
    const auto text = stringData(*this);
    if (!text) return std::nullopt;
    return std::wstring(text->begin(), text->end());
}

std::optional<std::string> RegistryValue::text() const {
    const auto text = stringData(*this);
    if (!text) return std::nullopt;
    std::string out;
    for (char32_t cp : *text) detail::appendUtf8(out, cp);
    return out;
}

std::string_view RegistryKey::name() const noexcept { return store_->node(node_).name; }

std::optional<std::string_view> RegistryKey::subkeyName(std::size_t index) const noexcept {
    const auto& children = store_->node(node_).children;
    if (index >= children.size()) return std::nullopt;
    return store_->node(children[index]).name;
}

std::optional<RegistryKey> RegistryKey::openSubkey(std::string_view path) const {
    const auto names = detail::splitKeyPath(path);
    if (!names) return std::nullopt;
    detail::NodeId node = node_;
    for (std::string_view name : *names) {
        const auto child = store_->child(node, name);
        if (!child) return std::nullopt;
        node = *child;
    }
    return RegistryKey(store_, node);
}

const RegistryValue* RegistryKey::valueAt(std::size_t index) const noexcept {
    const auto& values = store_->node(node_).values;
    return index < values.size() ? &values[index] : nullptr;
}

const RegistryValue* RegistryKey::value(std::string_view name) const { return store_->value(node_, name); }

RegistryHive::RegistryHive() : store_(std::make_unique<detail::HiveStore>()) {}
RegistryHive::RegistryHive(std::unique_ptr<detail::HiveStore> store) noexcept : store_(std::move(store)) {}
RegistryHive::~RegistryHive() = default;
RegistryHive::RegistryHive(RegistryHive&&) noexcept = default;
RegistryHive& RegistryHive::operator=(RegistryHive&&) noexcept = default;

RegistryHive RegistryHive::fromBytes(std::span<const std::uint8_t> bytes, std::vector<RegistryIssue>* issues) {
    auto store = std::make_unique<detail::HiveStore>();
    const std::string text = detail::fileTextToUtf8(bytes);
    detail::IssueSink sink(issues);
    const bool complete = detail::RegFileParser(text, *store, sink).run();
    if (!complete) {
        // Half a registry could hide the very keys a caller looks for; none is the honest answer.
        if (issues != nullptr) {
            issues->push_back(
                RegistryIssue{0, "more than " + std::to_string(kMaxHiveKeys) + " keys; the registry is read as empty"});
        }
        return RegistryHive();
    }
    sink.finish();
    store->compact();
    return RegistryHive(std::move(store));
}

std::filesystem::path RegistryHive::systemPath() {
    const char* configured = std::getenv("ZT_REGISTRY");
    return (configured != nullptr && *configured != '\0') ? configured : kDefaultHivePath;
}

RegistryHive RegistryHive::loadSystem() { return fromFile(systemPath()); }

std::optional<RegistryKey> RegistryHive::openKey(std::string_view path) const {
    if (!store_) return std::nullopt;
    const std::size_t cut = path.find('\\');
    const auto root = detail::canonicalRoot(path.substr(0, cut));
    if (!root) return std::nullopt;
    const auto rootNode = store_->child(detail::HiveStore::kTop, *root);
    if (!rootNode) return std::nullopt;
    const RegistryKey rootKey(store_.get(), *rootNode);
    return cut == std::string_view::npos ? rootKey : rootKey.openSubkey(path.substr(cut + 1));
}

std::optional<RegistryKey> RegistryHive::openLocalMachine(std::string_view path) const {
    if (path.empty()) return openKey(detail::kLocalMachine);
    return openKey(std::string(detail::kLocalMachine) + '\\' + std::string(path));
}

}  // namespace zt::registry
