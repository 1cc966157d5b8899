// A simulator with one scanner on COM5 and the SDK's end of its terminal opened.
#pragma once

#include "tty_client.h"

#include <gtest/gtest.h>

namespace zt::sim::test {

class ScannerFixture : public ::testing::Test {
protected:
    TempDir dir;
    Simulator simulator{dir.path() / "ports"};
    SimScanner& scanner = simulator.addScanner(5);
    TtyClient client{scanner.linkPath()};
};

}  // namespace zt::sim::test
