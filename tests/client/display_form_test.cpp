// The display form of scanner text: the four escapes of the scanner pages, and nothing raw reaches a
// terminal.
#include "zt/client/display_form.h"
#include "zt/client/text_decoding.h"

#include <gtest/gtest.h>

#include <string>

namespace zt::client {
namespace {

using namespace std::string_literals;

TEST(DisplayForm, EscapesTheFourCharactersOfTheScannerPages) {
    EXPECT_EQ(displayForm("a\tb\nc\rd\\e"), "a\\tb\\nc\\rd\\\\e");
    EXPECT_EQ(displayForm("plain 123"), "plain 123");
    EXPECT_EQ(displayForm(""), "");
    EXPECT_EQ(displayForm("\\t"), "\\\\t");  // a literal backslash and t stays tellable from a tab
}

TEST(DisplayForm, NoRawControlByteGetsThrough) {
    EXPECT_EQ(displayForm("\x1b[2J\x07\x7f"), "\\x1b[2J\\x07\\x7f");
    EXPECT_EQ(displayForm("a\0b"s), "a\\x00b");
    // C1 controls (U+009B is a CSI on some terminals), stray and truncated UTF-8 bytes.
    EXPECT_EQ(displayForm("\xc2\x9b"
                          "1m"),
              "\\xc2\\x9b1m");
    EXPECT_EQ(displayForm("\xc2\xa0"), "\xc2\xa0");  // U+00A0 is the first character after them
    EXPECT_EQ(displayForm("\xe9t\xc3"), "\\xe9t\\xc3");
    EXPECT_EQ(displayForm("\xed\xa0\x80"), "\\xed\\xa0\\x80");           // a surrogate
    EXPECT_EQ(displayForm("\xc0\xaf"), "\\xc0\\xaf");                    // an overlong '/'
    EXPECT_EQ(displayForm("\xf4\x90\x80\x80"), "\\xf4\\x90\\x80\\x80");  // above U+10FFFF
}

TEST(DisplayForm, KeepsValidUtf8Text) {
    EXPECT_EQ(displayForm("Caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x93\xa6"), "Caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x93\xa6");
}

TEST(ListForm, OnlyTheFourCharactersOfTheScannerPages) {
    EXPECT_EQ(listForm("a\tb\nc\rd\\e"), "a\\tb\\nc\\rd\\\\e");
    EXPECT_EQ(listForm("\x1b\x7f\0z"s), "\x1b\x7f\0z"s);  // a widget draws these; nothing is cut at the zero
    EXPECT_EQ(listForm("Caf\xc3\xa9\\"), "Caf\xc3\xa9\\\\");
    EXPECT_EQ(listForm(""), "");
}

TEST(DisplayForm, OfDecodedScannerText) {
    // Latin-1 bytes of a scanner become characters first, then only the four escapes apply.
    TextDecoder latin1("ISO-8859-1");
    EXPECT_EQ(displayForm(latin1.decode("Gr\xfc\xdf\te")), "Gr\xc3\xbc\xc3\x9f\\te");
}

}  // namespace
}  // namespace zt::client
