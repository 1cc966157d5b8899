#include "port_link.h"

#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace zt::sim {
namespace {

bool isStaleLink(const fs::path& link) {
    std::error_code error;
    return fs::is_symlink(fs::symlink_status(link, error)) && !fs::exists(link, error);
}

fs::path besideLink(const fs::path& link, const char* suffix) {
    return link.parent_path() / ("." + link.filename().string() + suffix);
}

}  // namespace

PortLink::PortLink(fs::path link) : link_(std::move(link)) {
    std::error_code error;
    if (fs::exists(fs::symlink_status(link_, error)) && !isStaleLink(link_)) {
        throw std::runtime_error("zt-sim: port link " + link_.string() + " is taken");
    }
}

PortLink::~PortLink() {
    std::error_code ignored;
    fs::remove(link_, ignored);
    fs::remove(besideLink(link_, ".tmp"), ignored);
}

void PortLink::pointAt(const fs::path& target) {
    const fs::path temporary = besideLink(link_, ".tmp");
    std::error_code ignored;
    fs::remove(temporary, ignored);
    fs::create_symlink(target, temporary);
    fs::rename(temporary, link_);
}

void PortLink::pointAway() { pointAt(besideLink(link_, ".away")); }

}  // namespace zt::sim
