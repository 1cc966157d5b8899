// Scanner text to UTF-8: the locale's character set through iconv, and every byte kept.
#include "zt/client/text_decoding.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace zt::client {
namespace {

using namespace std::string_literals;

// Switches LC_CTYPE for one test and puts the previous one back.
class CtypeLocale {
public:
    explicit CtypeLocale(const char* name) : previous_(std::setlocale(LC_CTYPE, nullptr)) {
        active_ = std::setlocale(LC_CTYPE, name) != nullptr;
    }
    ~CtypeLocale() { std::setlocale(LC_CTYPE, previous_.c_str()); }
    CtypeLocale(const CtypeLocale&) = delete;
    CtypeLocale& operator=(const CtypeLocale&) = delete;
    [[nodiscard]] bool active() const { return active_; }

private:
    std::string previous_;
    bool active_ = false;
};

TEST(TextDecoding, Utf8KeepsValidTextAndTakesStrayBytesAsLatin1) {
    TextDecoder utf8("UTF-8");
    EXPECT_EQ(utf8.decode("Caf\xc3\xa9 \xe2\x82\xac"), "Caf\xc3\xa9 \xe2\x82\xac");
    EXPECT_EQ(utf8.decode("\xe9t\xe9"), "\xc3\xa9t\xc3\xa9");
    EXPECT_EQ(utf8.decode("\xc3"), "\xc3\x83");  // truncated at the end
    EXPECT_EQ(utf8.decode("\xc3"
                          "A"),
              "\xc3\x83"
              "A");                                                      // broken in the middle
    EXPECT_EQ(utf8.decode("\xed\xa0\x80"), "\xc3\xad\xc2\xa0\xc2\x80");  // a surrogate, byte by byte
    EXPECT_EQ(utf8.decode("\xc0\xaf"), "\xc3\x80\xc2\xaf");              // overlong
    EXPECT_EQ(utf8.decode("a\0b"s), "a\0b"s);                            // zero bytes are kept too
    EXPECT_EQ(utf8.decode(""), "");
}

TEST(TextDecoding, EightBitCharacterSets) {
    TextDecoder latin9("ISO-8859-15");
    EXPECT_EQ(latin9.decode("\xa4 5"), "\xe2\x82\xac 5");  // the euro sign where Latin-1 has the currency sign
    TextDecoder cp1252("CP1252");
    EXPECT_EQ(cp1252.decode("\x80\x93"), "\xe2\x82\xac\xe2\x80\x9c");  // euro sign, left double quote
    // 0x81 has no character in CP1252: it is taken as Latin-1 and the text goes on.
    EXPECT_EQ(cp1252.decode("a\x81\x80"), "a\xc2\x81\xe2\x82\xac");
}

TEST(TextDecoding, MultiByteCharacterSetsKeepTheBytesThatDoNotDecode) {
    TextDecoder sjis("SHIFT_JIS");
    EXPECT_EQ(sjis.decode("\x82\xa0"), "\xe3\x81\x82");  // HIRAGANA LETTER A
    EXPECT_EQ(sjis.decode("x\x82"), "x\xc2\x82");        // a lead byte cut off at the end
    EXPECT_EQ(sjis.decode("\x82\xa0\xff"
                          "b"),
              "\xe3\x81\x82\xc3\xbf"
              "b");
    // A stateful encoding: the shift into JIS X 0208 and back.
    TextDecoder jis("ISO-2022-JP");
    EXPECT_EQ(jis.decode("\x1b$B$\"\x1b(BA"),
              "\xe3\x81\x82"
              "A");
    // A long text goes through in more than one piece of iconv output.
    std::string many;
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        many += "\x82\xa0";
        expected += "\xe3\x81\x82";
    }
    EXPECT_EQ(sjis.decode(many), expected);
}

TEST(TextDecoding, UnknownCharacterSetFallsBackToLatin1) {
    TextDecoder unknown("NO-SUCH-CHARSET");
    EXPECT_EQ(unknown.decode("A\xe9"), "A\xc3\xa9");
}

TEST(TextDecoding, FollowsTheLocale) {
    {
        const CtypeLocale c("C");
        ASSERT_TRUE(c.active());
        // The C locale's character set is ASCII: every byte above 0x7F is Latin-1.
        auto decoder = TextDecoder::forLocale();
        EXPECT_NE(decoder.charset(), "UTF-8");
        EXPECT_EQ(decoder.decode("ok\xe9\xff"), "ok\xc3\xa9\xc3\xbf");
    }
    const CtypeLocale utf8("C.UTF-8");
    if (!utf8.active()) GTEST_SKIP() << "no C.UTF-8 locale";
    auto decoder = TextDecoder::forLocale();
    EXPECT_EQ(decoder.decode("\xc3\xa9\xe9"), "\xc3\xa9\xc3\xa9");
}

}  // namespace
}  // namespace zt::client
