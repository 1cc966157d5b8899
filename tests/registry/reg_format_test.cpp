// The .reg format as people write it and devices export it.
#include <gtest/gtest.h>

#include "hive_test_util.h"
#include "zt/registry/registry_text.h"

namespace zt::registry {
namespace {

using test::parseHive;
using test::regString;
using Bytes = std::vector<std::uint8_t>;

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";

struct ValueCase {
    const char* lines;  // the value, alone in [HKLM\Test]
    std::uint32_t type;
    Bytes data;
};

TEST(RegFormat, ValueLinesAndTheDataTheyStore) {
    const std::vector<ValueCase> table{
        {"\"v\"=\"COM5\"", kRegString, regString("COM5")},
        {"@=\"default\"", kRegString, regString("default")},
        {R"("v"="back\\slash \"q\" ; kept")", kRegString, regString(R"(back\slash "q" ; kept)")},
        {R"("v"="odd \x kept")", kRegString, regString(R"(odd \x kept)")},
        {"\"v\" = dword:0000010a ; comment", kRegDword, {0x0a, 0x01, 0, 0}},
        {"\"v\"=DWORD:FFFFFFFF", kRegDword, {0xff, 0xff, 0xff, 0xff}},
        {"\"v\"=hex:00,7f,80,ff", kRegBinary, {0x00, 0x7f, 0x80, 0xff}},
        {"\"v\"=hex:", kRegBinary, {}},
        {"\"v\"=hex:01,02,\\\r\n  03,\\\n\t04 ; last line", kRegBinary, {1, 2, 3, 4}},
        {"\"v\"=hex(7):41,00,00,00", kRegMultiString, {0x41, 0, 0, 0}},
        {"\"v\"=hex(b):01", 11, {1}},
    };
    for (const ValueCase& row : table) {
        std::vector<RegistryIssue> issues;
        const auto hive = parseHive(std::string(kHeader) + "; comment\n# comment\n[HKLM\\Test]\n" + row.lines, &issues);
        EXPECT_TRUE(issues.empty()) << row.lines;
        const RegistryValue* value = hive.openLocalMachine("Test")->valueAt(0);
        ASSERT_NE(value, nullptr) << row.lines;
        EXPECT_EQ(value->type, row.type) << row.lines;
        EXPECT_EQ(value->data, row.data) << row.lines;
    }
}

TEST(RegFormat, NamesMatchInAnyCaseAndKeepTheirOwn) {
    const auto hive = parseHive(std::string(kHeader) +
                                "[HKEY_LOCAL_MACHINE\\Software\\MixedCase]\n"
                                "\"PortName\"=\"COM1\"\n"
                                "[hkey_local_machine\\SOFTWARE\\mixedcase]\n"
                                "\"PORTNAME\"=\"COM2\"\n");
    const auto key = hive.openLocalMachine("software\\MIXEDCASE");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->name(), "MixedCase");
    ASSERT_NE(key->value("portname"), nullptr);
    EXPECT_EQ(key->value("portname")->name, "PortName");
    EXPECT_EQ(key->value("portname")->text(), "COM2");  // one value, rewritten
    EXPECT_EQ(key->valueAt(1), nullptr);
}

TEST(RegFormat, DeletionsAndFileOrder) {
    std::vector<RegistryIssue> issues;
    const auto hive = parseHive(std::string(kHeader) +
                                    "[HKLM\\Root\\zulu]\n"
                                    "[HKLM\\Root\\alpha\\child]\n"
                                    "[HKLM\\Root\\mike]\n"
                                    "\"z\"=\"1\"\n\"drop\"=\"2\"\n\"a\"=\"3\"\n"
                                    "\"drop\"=-\n"
                                    "[-HKLM\\Root\\alpha]\n"
                                    "\"ignored\"=\"in a deleted key\"\n"
                                    "[-HKLM\\Root\\never\\existed]\n"
                                    "[HKLM\\Root\\zulu]\n"
                                    "[HKLM\\Root\\alpha]\n",
                                &issues);
    EXPECT_TRUE(issues.empty());
    const auto root = hive.openLocalMachine("Root");
    ASSERT_TRUE(root);
    // Not sorted: first written, first enumerated. A key made again after its deletion is a new key:
    // it comes last and has lost its subkeys.
    EXPECT_EQ(root->subkeyName(0), "zulu");
    EXPECT_EQ(root->subkeyName(1), "mike");
    EXPECT_EQ(root->subkeyName(2), "alpha");
    EXPECT_FALSE(root->subkeyName(3));
    EXPECT_FALSE(root->openSubkey("alpha\\child"));
    const auto mike = root->openSubkey("mike");
    EXPECT_EQ(mike->valueAt(0)->name, "z");
    EXPECT_EQ(mike->valueAt(1)->name, "a");
    EXPECT_EQ(mike->valueAt(2), nullptr);
}

TEST(RegFormat, Regedit4DataIsEightBitText) {
    // In a REGEDIT4 file hex(2) holds 8-bit text, which the registry keeps as UTF-16LE.
    const auto hive = parseHive("REGEDIT4\n\n[HKLM\\Test]\n\"path\"=hex(2):43,3a,00\n\"blob\"=hex:43,3a,00\n");
    const auto key = hive.openLocalMachine("Test");
    EXPECT_EQ(key->value("path")->data, regString("C:"));
    EXPECT_EQ(key->value("blob")->data, (Bytes{0x43, 0x3a, 0x00}));
}

TEST(RegFormat, Utf16ExportWithBomReadsLikeUtf8) {
    const std::string text = std::string(kHeader) + "[HKLM\\Test]\n\"name\"=\"ZT-550 \xC3\xA9\"\n";
    Bytes bytes{0xFF, 0xFE};
    for (wchar_t c : utf8ToWide(text)) bytes.insert(bytes.end(), {static_cast<std::uint8_t>(c), 0});
    std::vector<RegistryIssue> issues;
    const auto hive = RegistryHive::fromBytes(bytes, &issues);
    EXPECT_TRUE(issues.empty());
    ASSERT_TRUE(hive.openLocalMachine("Test"));
    EXPECT_EQ(hive.openLocalMachine("Test")->value("name")->wideText(), L"ZT-550 \u00e9");
}

}  // namespace
}  // namespace zt::registry
