// Fakes and fixtures for the device-search unit tests.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "pairing_source.h"
#include "rfcomm_bindings.h"
#include "test_env.h"
#include "zt/registry/registry.h"

namespace zt::devsearch::test {

using zt::test::ScopedEnv;
using zt::test::TempDir;

inline std::filesystem::path fixture(const std::string& name) {
    return std::filesystem::path(ZT_DEVSEARCH_FIXTURES) / name;
}

inline registry::RegistryHive loadFixture(const std::string& name) {
    std::vector<registry::RegistryIssue> issues;
    auto hive = registry::RegistryHive::fromFile(fixture(name), &issues);
    if (!issues.empty() || !std::filesystem::exists(fixture(name))) throw std::runtime_error("bad fixture " + name);
    return hive;
}

class FakePairings final : public PairingSource {
public:
    explicit FakePairings(std::optional<std::vector<Pairing>> devices) : devices_(std::move(devices)) {}
    std::optional<std::vector<Pairing>> devices() override {
        ++calls;
        return devices_;
    }
    int calls = 0;

private:
    std::optional<std::vector<Pairing>> devices_;
};

class FakeTtys final : public RfcommBindingSource {
public:
    explicit FakeTtys(std::vector<RfcommBinding> bound) : bound_(std::move(bound)) {}
    std::vector<RfcommBinding> bindings() override { return bound_; }

private:
    std::vector<RfcommBinding> bound_;
};

}  // namespace zt::devsearch::test
