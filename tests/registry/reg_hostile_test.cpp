// Malformed and hostile hive files: each bad line is reported with its number and skipped, the lines
// around it still load, and nothing crashes or hangs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ostream>
#include <random>

#include "hive_test_util.h"

namespace zt::registry {
namespace {

using test::issueLines;
using test::parseHive;

struct BadLineCase {
    const char* legend;
    std::string badLines;      // placed on line 4 and after, inside [HKLM\Test]
    std::size_t reportedLine;  // the one issue expected
};

void PrintTo(const BadLineCase& badLine, std::ostream* out) { *out << badLine.legend; }

// Line 3 opens [HKLM\Test]; the bad lines follow; a good value comes last and must still load.
std::string withinKey(const std::string& badLines) {
    return "Windows Registry Editor Version 5.00\n\n[HKLM\\Test]\n" + badLines + "\n\"good\"=dword:00000001\n";
}

class BadLine : public testing::TestWithParam<BadLineCase> {};

TEST_P(BadLine, IsReportedSkippedAndTheRestLoads) {
    std::vector<RegistryIssue> issues;
    const auto hive = parseHive(withinKey(GetParam().badLines), &issues);
    EXPECT_EQ(issueLines(issues), std::vector<std::size_t>{GetParam().reportedLine}) << GetParam().legend;
    const auto key = hive.openLocalMachine("Test");
    ASSERT_TRUE(key);
    EXPECT_NE(key->value("good"), nullptr);
    EXPECT_EQ(key->value("bad"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Table, BadLine,
                         testing::Values(BadLineCase{"bad hex byte", "\"bad\"=hex:00,zz,01", 4},
                                         BadLineCase{"empty byte between commas", "\"bad\"=hex:00,,01", 4},
                                         BadLineCase{"bad byte on a continuation line, the rest consumed",
                                                     "\"bad\"=hex:00,\\\n 0g,\\\n 01", 5},
                                         BadLineCase{"hex type not hex", "\"bad\"=hex(zz):00,\\\n 01", 4},
                                         BadLineCase{"dword too long", "\"bad\"=dword:123456789", 4},
                                         BadLineCase{"dword with junk", "\"bad\"=dword:12x", 4},
                                         BadLineCase{"string without closing quote", "\"bad\"=\"open", 4},
                                         BadLineCase{"text after the string", "\"bad\"=\"x\" y", 4},
                                         BadLineCase{"name without closing quote", "\"bad\\", 4},
                                         BadLineCase{"unknown data type", "\"bad\"=qword:1", 4},
                                         BadLineCase{"line of junk", "garbage here", 4},
                                         BadLineCase{"NUL and control bytes", std::string("\x01\x02\0\x7f", 4), 4}),
                         [](const testing::TestParamInfo<BadLineCase>& param) {
                             std::string name;
                             for (const char* c = param.param.legend; *c != '\0'; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST(RegHostile, BrokenKeyLinesAreReportedAndTheirValuesSkipped) {
    std::vector<RegistryIssue> issues;
    const auto hive = parseHive(
        "Windows Registry Editor Version 5.00\n"
        "[HKLM\\Lost\n"                // 2: no closing bracket
        "\"v\"=\"skipped quietly\"\n"  // 3
        "[HKEY_NOWHERE\\X]\n"          // 4: unknown root
        "[HKLM\\A\\\\B]\n"             // 5: empty name
        "[-HKLM]\n"                    // 6: a root cannot be deleted
        "[]\n"                         // 7
        "[HKLM\\Kept]\n"
        "\"v\"=\"1\"\n",
        &issues);
    EXPECT_EQ(issueLines(issues), (std::vector<std::size_t>{2, 4, 5, 6, 7}));
    EXPECT_FALSE(hive.openLocalMachine("Lost"));
    ASSERT_TRUE(hive.openLocalMachine("Kept"));
    EXPECT_NE(hive.openLocalMachine("Kept")->value("v"), nullptr);
}

TEST(RegHostile, MissingHeaderAndValuesBeforeAnyKey) {
    std::vector<RegistryIssue> issues;
    const auto hive = parseHive("\n\"early\"=\"1\"\n[HKLM\\Test]\n\"v\"=\"1\"\n", &issues);
    EXPECT_EQ(issueLines(issues), (std::vector<std::size_t>{2, 2}));  // no header; value outside a key
    EXPECT_NE(hive.openLocalMachine("Test")->value("v"), nullptr);
}

TEST(RegHostile, HexContinuedPastTheEndOfTheFile) {
    std::vector<RegistryIssue> issues;
    const auto hive = parseHive("REGEDIT4\n[HKLM\\Test]\n\"bad\"=hex:00,\\", &issues);
    EXPECT_EQ(issueLines(issues), std::vector<std::size_t>{3});
    EXPECT_EQ(hive.openLocalMachine("Test")->value("bad"), nullptr);
}

TEST(RegHostile, HugeValuesAreRefused) {
    const std::string bigString(kMaxValueBytes / 2, 'x');  // twice as many bytes as UTF-16LE
    std::string bigHex = "\"bad\"=hex:";
    for (std::size_t i = 0; i <= kMaxValueBytes; ++i) bigHex += (i % 64 == 63) ? "00,\\\n" : "00,";
    bigHex += "00";
    for (const std::string& bad : {"\"bad\"=\"" + bigString + "\"", bigHex}) {
        std::vector<RegistryIssue> issues;
        const auto hive = parseHive(withinKey(bad), &issues);
        ASSERT_EQ(issues.size(), 1u);
        EXPECT_NE(issues[0].message.find("larger than"), std::string::npos);
        EXPECT_NE(hive.openLocalMachine("Test")->value("good"), nullptr);
    }
}

TEST(RegHostile, OverlongNamesAndPaths) {
    const std::string longName(kMaxKeyNameChars + 1, 'k');
    std::string deepPath = "HKLM";
    for (std::size_t i = 0; i <= kMaxKeyDepth; ++i) deepPath += "\\d";
    std::vector<RegistryIssue> issues;
    const auto hive = parseHive("REGEDIT4\n[HKLM\\" + longName + "]\n[" + deepPath + "]\n[HKLM\\Test]\n\"" +
                                    std::string(kMaxValueNameChars + 1, 'v') + "\"=\"x\"\n",
                                &issues);
    EXPECT_EQ(issueLines(issues), (std::vector<std::size_t>{2, 3, 5}));
    EXPECT_FALSE(hive.openLocalMachine(longName));
    EXPECT_EQ(hive.openLocalMachine("Test")->valueAt(0), nullptr);
}

TEST(RegHostile, IssueListIsCapped) {
    std::string junk = "REGEDIT4\n";
    for (std::size_t i = 0; i < 2 * kMaxReportedIssues; ++i) junk += "junk\n";
    std::vector<RegistryIssue> issues;
    static_cast<void>(parseHive(junk, &issues));
    ASSERT_EQ(issues.size(), kMaxReportedIssues + 1);
    EXPECT_EQ(issues.back().line, 0u);
}

TEST(RegHostile, ManySiblingsAndDeletionsLoadInLinearTime) {
    // Quadratic lookups or deletions would take minutes here and trip the test's time-out.
    constexpr int kKeys = static_cast<int>(kMaxHiveKeys / 2);
    std::string text = "REGEDIT4\n";
    for (int i = 0; i < kKeys; ++i) text += "[HKLM\\Wide\\k" + std::to_string(i) + "]\n\"v\"=dword:1\n";
    for (int i = 0; i < kKeys; i += 2) text += "[-HKLM\\Wide\\k" + std::to_string(i) + "]\n";
    const auto hive = parseHive(text);
    const auto wide = hive.openLocalMachine("Wide");
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->subkeyName(0), "k1");
    EXPECT_EQ(wide->subkeyName(kKeys / 2 - 1), "k" + std::to_string(kKeys - 1));
    EXPECT_FALSE(wide->subkeyName(kKeys / 2));
}

// Keys HKLM, W and w0, w1, ...: `keys` keys in all.
std::string wideHive(std::size_t keys) {
    std::string text = "REGEDIT4\n[HKLM\\W]\n";
    for (std::size_t i = 0; i + 2 < keys; ++i) text += "[HKLM\\W\\w" + std::to_string(i) + "]\n";
    return text + "[HKLM\\W]\n\"last\"=dword:1\n";
}

TEST(RegHostile, KeysUpToTheLimitLoadAndOneMoreEmptiesTheHive) {
    std::vector<RegistryIssue> issues;
    const auto full = parseHive(wideHive(kMaxHiveKeys), &issues);
    EXPECT_TRUE(issues.empty());
    ASSERT_TRUE(full.openLocalMachine("W"));
    EXPECT_NE(full.openLocalMachine("W")->value("last"), nullptr);

    const auto over = parseHive(wideHive(kMaxHiveKeys + 1), &issues);
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_EQ(issues[0].line, 0u);
    EXPECT_EQ(issues[0].message, "more than " + std::to_string(kMaxHiveKeys) + " keys; the registry is read as empty");
    EXPECT_FALSE(over.openKey("HKLM")) << "no half registry";
}

TEST(RegHostile, DeepDistinctPathsAndDeletedKeysCountTowardsTheLimit) {
    // Each line would make kMaxKeyDepth new keys: without a limit 8 MiB of such lines take gigabytes.
    std::string deep;
    for (std::size_t i = 1; i < kMaxKeyDepth; ++i) deep += "\\d";
    std::string text = "REGEDIT4\n";
    for (std::size_t line = 0; text.size() < kMaxHiveFileBytes / 4; ++line) {
        text += "[HKLM\\p" + std::to_string(line) + deep + "]\n[-HKLM\\p" + std::to_string(line) + "]\n";
    }
    std::vector<RegistryIssue> issues;
    const auto hive = parseHive(text, &issues);
    ASSERT_FALSE(issues.empty());
    EXPECT_NE(issues.back().message.find("keys; the registry is read as empty"), std::string::npos);
    EXPECT_FALSE(hive.openKey("HKLM"));
}

// Whether the first line holds more than blanks (and the bytes are not taken for another encoding).
bool firstLineHasText(std::string_view bytes) {
    if (bytes.empty() || static_cast<unsigned char>(bytes[0]) >= 0xEF) return false;
    const std::string_view line = bytes.substr(0, bytes.find_first_of("\r\n"));
    return line.find_first_not_of(" \t") != std::string_view::npos;
}

// Every key of the hive below `key`, depth first: what any reader of the registry may walk.
void expectWithinLimits(const RegistryKey& key, std::size_t depth, std::size_t& keys) {
    ++keys;
    ASSERT_LE(depth, kMaxKeyDepth);
    for (std::size_t i = 0; const RegistryValue* value = key.valueAt(i); ++i) {
        EXPECT_LE(value->data.size(), kMaxValueBytes);
        EXPECT_LE(value->name.size(), 4 * kMaxValueNameChars);  // UTF-8: up to 4 bytes a character
        EXPECT_EQ(key.value(value->name) != nullptr, true) << "a listed value is found by its name";
    }
    for (std::size_t i = 0; const auto name = key.subkeyName(i); ++i) {
        EXPECT_FALSE(name->empty());
        EXPECT_LE(name->size(), 4 * kMaxKeyNameChars);
        const auto sub = key.openSubkey(std::string(*name));
        ASSERT_TRUE(sub) << "a listed subkey opens by its name";
        expectWithinLimits(*sub, depth + 1, keys);
    }
}

TEST(RegHostile, RandomBinaryJunkGivesAHiveWithinTheLimitsAndIssuesOnItsLines) {
    std::mt19937 random(20240611);
    // Bytes biased towards the characters the parser acts on.
    const std::string_view interesting = "[]\\\"@=-;:,\n\r hexdword()0fF";
    std::size_t keysSeen = 0;
    std::size_t issuesSeen = 0;
    for (int round = 0; round < 200; ++round) {
        const bool header = round % 2 != 0;
        std::string junk = header ? "Windows Registry Editor Version 5.00\n" : "";
        const std::size_t length = random() % 4096;
        // Half way, on a line of its own, a well-formed key: the junk around it must not hide it.
        const std::string sound = "\n[HKEY_LOCAL_MACHINE\\Sound" + std::to_string(round) + "]\n";
        for (std::size_t i = 0; i < length; ++i) {
            const auto r = random();
            if (i == length / 2) junk += sound;
            junk += r % 3 ? interesting[r % interesting.size()] : static_cast<char>(r >> 8);
        }
        std::vector<RegistryIssue> issues;
        const auto hive = parseHive(junk, &issues);

        // Each issue names a line of the junk (or the file as a whole), and says something.
        const auto lines = static_cast<std::size_t>(std::count(junk.begin(), junk.end(), '\n')) + 1;
        EXPECT_LE(issues.size(), kMaxReportedIssues + 1);
        for (const auto& issue : issues) {
            EXPECT_LE(issue.line, lines);
            EXPECT_FALSE(issue.message.empty());
        }
        // The same bytes give the same verdict.
        std::vector<RegistryIssue> again;
        (void)parseHive(junk, &again);
        ASSERT_EQ(again.size(), issues.size());
        for (std::size_t i = 0; i < issues.size(); ++i) EXPECT_EQ(again[i].message, issues[i].message);

        std::size_t keys = 0;
        for (const std::string_view root :
             {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKEY_CLASSES_ROOT", "HKEY_USERS", "HKEY_CURRENT_CONFIG"}) {
            if (const auto key = hive.openKey(root)) expectWithinLimits(*key, 0, keys);
        }
        EXPECT_LE(keys, kMaxHiveKeys);
        if (length > 0) {
            EXPECT_TRUE(hive.openLocalMachine("Sound" + std::to_string(round))) << "round " << round;
        }
        // Junk without a header is read all the same, but the file is named as no registry export.
        if (!header && firstLineHasText(junk)) {
            EXPECT_TRUE(std::ranges::any_of(
                issues, [](const RegistryIssue& issue) { return issue.message.starts_with("missing header"); }))
                << "round " << round;
        }
        keysSeen += keys;
        issuesSeen += issues.size();
    }
    // The junk does reach the parser's paths: keys are made and lines refused.
    EXPECT_GT(keysSeen, 100u);
    EXPECT_GT(issuesSeen, 0u);
}

}  // namespace
}  // namespace zt::registry
