// Storage of a loaded hive: keys in one array addressed by index, so that a hostile file can neither
// recurse deeply nor make lookups quadratic. Each key keeps its subkeys and values in file order with a
// folded-name index beside them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "zt/registry/registry.h"

namespace zt::registry::detail {

using NodeId = std::uint32_t;

struct KeyNode {
    std::string name;
    std::vector<NodeId> children;              // file order; deleted ones are dropped by compact()
    std::map<std::string, NodeId> childIndex;  // folded name -> live child
    std::vector<RegistryValue> values;         // file order; deleted ones are dropped by compact()
    std::vector<bool> valueDeleted;
    std::map<std::string, std::size_t> valueIndex;  // folded name -> live value
    bool deleted = false;
};

class HiveStore {
public:
    // Node 0 is the unnamed top whose children are the registry roots.
    static constexpr NodeId kTop = 0;

    HiveStore();

    [[nodiscard]] const KeyNode& node(NodeId id) const { return nodes_[id]; }
    [[nodiscard]] std::optional<NodeId> child(NodeId parent, std::string_view name) const;
    [[nodiscard]] const RegistryValue* value(NodeId key, std::string_view name) const;

    // Building, while a file is read. Nothing when the hive already holds kMaxHiveKeys keys.
    [[nodiscard]] std::optional<NodeId> ensureChild(NodeId parent, std::string_view name);
    void removeChild(NodeId parent, std::string_view name);
    void setValue(NodeId key, RegistryValue value);
    void removeValue(NodeId key, std::string_view name);
    // Drops deleted entries so that enumeration by index sees only live keys and values.
    void compact();

private:
    std::vector<KeyNode> nodes_;
};

}  // namespace zt::registry::detail
