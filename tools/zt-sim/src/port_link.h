// The link "<folder>/COM<n>" through which the SDK finds a scanner's terminal.
#pragma once

#include <filesystem>

namespace zt::sim {

class PortLink {
public:
    // Claims the name; throws std::runtime_error when it is taken. A link whose target is gone is left
    // over from an earlier run and is taken over.
    explicit PortLink(std::filesystem::path link);
    ~PortLink();  // removes the link
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    // Replaces the link in one step, so that the SDK never finds the name missing.
    void pointAt(const std::filesystem::path& target);
    // Points at a name that never exists: opening the port fails as long as the scanner is away, and
    // cannot reach a terminal that the system handed out again in the meantime.
    void pointAway();

    [[nodiscard]] const std::filesystem::path& path() const { return link_; }

private:
    std::filesystem::path link_;
};

}  // namespace zt::sim
