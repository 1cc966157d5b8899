// Port names: what people type, and the label every message uses.
#include "zt/client/ports.h"

#include <gtest/gtest.h>

namespace zt::client {
namespace {

TEST(Ports, NumberOrComPrefixInAnyCase) {
    EXPECT_EQ(parsePort("5").port, 5U);
    EXPECT_EQ(parsePort("COM5").port, 5U);
    EXPECT_EQ(parsePort("com17").port, 17U);
    EXPECT_EQ(parsePort("cOm007").port, 7U);
    EXPECT_EQ(parsePort("0").match, PortMatch::Port);
    EXPECT_EQ(parsePort("100").match, PortMatch::Port);
}

TEST(Ports, OutOfRangeOrMalformedPortsAreRefused) {
    EXPECT_EQ(parsePort("101").match, PortMatch::BadPort);
    EXPECT_EQ(parsePort("COM").match, PortMatch::BadPort);
    EXPECT_EQ(parsePort("COM-1").match, PortMatch::BadPort);
    EXPECT_EQ(parsePort("COM5:").match, PortMatch::BadPort);
    EXPECT_EQ(parsePort("COM 5").match, PortMatch::BadPort);
    EXPECT_EQ(parsePort("99999999999999999999").match, PortMatch::BadPort);
    EXPECT_EQ(parsePort("buzzer-volume").match, PortMatch::NotPort);
    EXPECT_EQ(parsePort("-1").match, PortMatch::NotPort);
    EXPECT_EQ(parsePort("").match, PortMatch::NotPort);
    EXPECT_EQ(parsePort("5x").match, PortMatch::NotPort);
}

TEST(Ports, LabelsReadBack) {
    EXPECT_EQ(portLabel(5), "COM5");
    EXPECT_EQ(portLabel(0), "COM0");
    for (unsigned port = 0; port <= kMaxPort; ++port) EXPECT_EQ(parsePort(portLabel(port)).port, port);
}

}  // namespace
}  // namespace zt::client
