#include "hive_store.h"

#include <algorithm>
#include <utility>

#include "case_fold.h"

namespace zt::registry::detail {

HiveStore::HiveStore() : nodes_(1) {}

std::optional<NodeId> HiveStore::child(NodeId parent, std::string_view name) const {
    const auto& index = nodes_[parent].childIndex;
    const auto it = index.find(foldName(name));
    if (it == index.end()) return std::nullopt;
    return it->second;
}

const RegistryValue* HiveStore::value(NodeId key, std::string_view name) const {
    const KeyNode& node = nodes_[key];
    const auto it = node.valueIndex.find(foldName(name));
    return it == node.valueIndex.end() ? nullptr : &node.values[it->second];
}

std::optional<NodeId> HiveStore::ensureChild(NodeId parent, std::string_view name) {
    std::string folded = foldName(name);
    if (const auto it = nodes_[parent].childIndex.find(folded); it != nodes_[parent].childIndex.end())
        return it->second;
    // Node 0 is the top, not a key. Deleted subtrees stay in the array, so they count too.
    if (nodes_.size() > kMaxHiveKeys) return std::nullopt;
    const auto id = static_cast<NodeId>(nodes_.size());
    KeyNode created;
    created.name = std::string(name);
    nodes_.push_back(std::move(created));  // may reallocate: index nodes_ afresh below
    nodes_[parent].children.push_back(id);
    nodes_[parent].childIndex.emplace(std::move(folded), id);
    return id;
}

void HiveStore::removeChild(NodeId parent, std::string_view name) {
    auto& index = nodes_[parent].childIndex;
    const auto it = index.find(foldName(name));
    if (it == index.end()) return;
    // The subtree becomes unreachable; its nodes stay in the array until the hive is destroyed.
    nodes_[it->second].deleted = true;
    index.erase(it);
}

void HiveStore::setValue(NodeId key, RegistryValue value) {
    KeyNode& node = nodes_[key];
    std::string folded = foldName(value.name);
    if (const auto it = node.valueIndex.find(folded); it != node.valueIndex.end()) {
        // Writing an existing value replaces its type and data; it keeps its place and its name.
        RegistryValue& existing = node.values[it->second];
        existing.type = value.type;
        existing.data = std::move(value.data);
        return;
    }
    node.valueIndex.emplace(std::move(folded), node.values.size());
    node.values.push_back(std::move(value));
    node.valueDeleted.push_back(false);
}

void HiveStore::removeValue(NodeId key, std::string_view name) {
    KeyNode& node = nodes_[key];
    const auto it = node.valueIndex.find(foldName(name));
    if (it == node.valueIndex.end()) return;
    node.valueDeleted[it->second] = true;
    node.valueIndex.erase(it);
}

void HiveStore::compact() {
    for (KeyNode& node : nodes_) {
        std::erase_if(node.children, [this](NodeId id) { return nodes_[id].deleted; });
        if (std::find(node.valueDeleted.begin(), node.valueDeleted.end(), true) == node.valueDeleted.end()) continue;
        std::vector<RegistryValue> live;
        node.valueIndex.clear();
        for (std::size_t i = 0; i < node.values.size(); ++i) {
            if (node.valueDeleted[i]) continue;
            node.valueIndex.emplace(foldName(node.values[i].name), live.size());
            live.push_back(std::move(node.values[i]));
        }
        node.values = std::move(live);
        node.valueDeleted.assign(node.values.size(), false);
    }
}

}  // namespace zt::registry::detail
