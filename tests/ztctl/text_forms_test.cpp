// What reaches a terminal or a script: JSON strings, and the line of one live barcode.
#include "json.h"
#include "live_line.h"
#include "sdk_result.h"
#include "zt/registry/registry_text.h"
#include "zt330sdk.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace ztctl {
namespace {

using namespace std::string_literals;

TEST(Json, StringsAreAlwaysValidJson) {
    EXPECT_EQ(jsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(jsonString("\t\n\r\b\f\x01\x1f\x7f"), "\"\\t\\n\\r\\b\\f\\u0001\\u001f\\u007f\"");
    EXPECT_EQ(jsonString("\xc3\xa9\xff"), "\"\xc3\xa9\\ufffd\"");
    EXPECT_EQ(jsonString(""), "\"\"");
    EXPECT_EQ(jsonString("</script>"), "\"</script>\"");
}

TEST(Json, ObjectsKeepTheOrderOfTheirMembers) {
    const auto object =
        JsonObject().add("s", "x").add("n", -5).add("b", false).addNull("z").addRaw("o", "{\"a\":1}").str();
    EXPECT_EQ(object, R"({"s":"x","n":-5,"b":false,"z":null,"o":{"a":1}})");
    EXPECT_EQ(JsonObject().str(), "{}");
}

TEST(Utf8, WideNamesBecomeUtf8) {
    EXPECT_EQ(zt::registry::wideToUtf8(L"ZT-550 \u00e9\uff90"), "ZT-550 \xc3\xa9\xef\xbe\x90");
    EXPECT_EQ(zt::registry::wideToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xef\xbf\xbd");
    EXPECT_EQ(zt::registry::wideToUtf8(std::wstring(1, static_cast<wchar_t>(0x110000))), "\xef\xbf\xbd");
}

TEST(SdkResults, LinkFailuresEndTheRunForAScanner) {
    EXPECT_TRUE(linkFailure(SDK_ERR_PORT_LOST));
    EXPECT_FALSE(linkFailure(SDK_ERR_DEVICE_REFUSED));
}

std::vector<std::uint8_t> scanRecord(std::vector<std::uint8_t> time, const std::string& text) {
    std::vector<std::uint8_t> record(24, 0);
    std::copy(time.begin(), time.end(), record.begin() + 1);
    record.insert(record.end(), text.begin(), text.end());
    record.push_back(0);
    return record;
}

TEST(LiveLine, TabSeparatedFieldsWithTheDataInDisplayForm) {
    const auto record = scanRecord({110, 2, 5, 14, 7, 9, 5}, "A\tB\\C");
    const LiveScan scan{5, "ZT-550 1", record, false};
    EXPECT_EQ(formatLiveLine(scan, false), "2010/03/05 14:07:09\tCOM5\tZT-550 1\tA\\tB\\\\C");
    const LiveScan unnamed{7, std::nullopt, record, true};
    EXPECT_EQ(formatLiveLine(unnamed, false), "2010/03/05 14:07:09\tCOM7\t\tA\\tB\\\\C\tdeleted");
}

TEST(LiveLine, JsonLine) {
    const auto record = scanRecord({110, 2, 5, 14, 7, 9, 5}, "x\x01\"");
    const LiveScan scan{5, std::nullopt, record, true};
    EXPECT_EQ(formatLiveLine(scan, true),
              R"({"time":"2010/03/05 14:07:09","port":"COM5","name":null,"data":"x\\x01\"","deleted":true})");
}

TEST(LiveLine, ImpossibleTimesAreShownAsSentAndFlagged) {
    const auto record = scanRecord({110, 12, 5, 14, 7, 9, 5}, "x");
    const LiveScan scan{5, std::nullopt, record, false};
    EXPECT_FALSE(liveScanTimePlausible(scan));
    EXPECT_EQ(formatLiveLine(scan, false), "2010/13/05 14:07:09\tCOM5\t\tx");
}

TEST(LiveLine, TextEndsAtTheFirstZeroByteAndShortRecordsAreSafe) {
    auto record = scanRecord({110, 0, 1, 0, 0, 0, 0}, "ab");
    record.insert(record.end(), {'z', 0});
    EXPECT_EQ(formatLiveLine({5, std::nullopt, record, false}, false), "2010/01/01 00:00:00\tCOM5\t\tab");
    const std::vector<std::uint8_t> tiny{1, 2, 3};
    EXPECT_EQ(formatLiveLine({5, std::nullopt, tiny, false}, false), "1900/01/00 00:00:00\tCOM5\t\t");
}

}  // namespace
}  // namespace ztctl
