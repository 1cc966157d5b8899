// Port arguments of the subcommands: the client module's port names, refused with a UsageError.
#pragma once

#include "zt/client/ports.h"

#include <span>
#include <string_view>
#include <vector>

namespace ztctl {

using zt::client::kMaxPort;
using zt::client::parsePort;
using zt::client::portLabel;
using zt::client::PortMatch;

// Every word must be a port; repeated ports are refused. Throws UsageError; at least one port is needed.
[[nodiscard]] std::vector<unsigned> parsePorts(std::span<const std::string_view> words);

// Throws UsageError for a word that looks like a port but is out of range.
[[nodiscard]] unsigned requirePort(std::string_view word);

}  // namespace ztctl
