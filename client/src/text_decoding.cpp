#include "zt/client/text_decoding.h"

#include <array>
#include <cerrno>
#include <cstdint>

#include <iconv.h>
#include <langinfo.h>

namespace zt::client {
namespace {

// A byte taken as Latin-1: its code point is its value.
void appendLatin1(std::string& out, unsigned char byte) {
    if (byte < 0x80) {
        out += static_cast<char>(byte);
        return;
    }
    out += static_cast<char>(0xC0 | (byte >> 6));
    out += static_cast<char>(0x80 | (byte & 0x3F));
}

bool encodable(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

bool isUtf8Name(std::string_view charset) { return charset == "UTF-8" || charset == "utf-8" || charset == "UTF8"; }

// Valid sequences as they are, any other byte as its Latin-1 character.
std::string decodeUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t length = utf8SequenceLength(bytes);
        if (length == 0) {
            appendLatin1(out, static_cast<unsigned char>(bytes[0]));
            bytes.remove_prefix(1);
        } else {
            out += bytes.substr(0, length);
            bytes.remove_prefix(length);
        }
    }
    return out;
}

}  // namespace

// An iconv descriptor from the character set to UTF-8; an invalid one when iconv does not know the set.
struct TextDecoder::Converter {
    explicit Converter(const std::string& charset) : cd(::iconv_open("UTF-8", charset.c_str())) {}
    ~Converter() {
        if (valid()) ::iconv_close(cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    [[nodiscard]] bool valid() const { return cd != reinterpret_cast<iconv_t>(-1); }  // iconv_open's error value

    // Converts as far as the input decodes; returns the number of input bytes consumed. Resets the
    // descriptor's shift state when it stops at a byte that does not decode.
    std::size_t convert(std::string_view bytes, std::string& out) {
        char* in = const_cast<char*>(bytes.data());  // iconv does not write the input
        std::size_t inLeft = bytes.size();
        std::array<char, 1024> buffer;  // output in pieces (E2BIG asks for the next one)
        while (inLeft > 0) {
            char* outPtr = buffer.data();
            std::size_t outLeft = buffer.size();
            const std::size_t done = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer.data(), buffer.size() - outLeft);
            if (done != static_cast<std::size_t>(-1)) break;
            if (errno != E2BIG) {
                ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
                break;
            }
        }
        if (inLeft == 0) {  // end of the text: put a stateful encoding back into its initial shift state
            char* outPtr = buffer.data();
            std::size_t outLeft = buffer.size();
            ::iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
            out.append(buffer.data(), buffer.size() - outLeft);
        }
        return bytes.size() - inLeft;
    }

    iconv_t cd;
};

TextDecoder TextDecoder::forLocale() { return TextDecoder(::nl_langinfo(CODESET)); }

TextDecoder::TextDecoder(std::string_view charset) : charset_(charset) {
    if (!isUtf8Name(charset_)) converter_ = std::make_unique<Converter>(charset_);
}

TextDecoder::~TextDecoder() = default;
TextDecoder::TextDecoder(TextDecoder&&) noexcept = default;
TextDecoder& TextDecoder::operator=(TextDecoder&&) noexcept = default;

std::string TextDecoder::decode(std::string_view bytes) {
    if (converter_ == nullptr) return decodeUtf8(bytes);
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t consumed = converter_->valid() ? converter_->convert(bytes, out) : 0;
        bytes.remove_prefix(consumed);
        if (bytes.empty()) break;
        appendLatin1(out, static_cast<unsigned char>(bytes[0]));  // does not decode: its Latin-1 character
        bytes.remove_prefix(1);
    }
    return out;
}

std::size_t utf8SequenceLength(std::string_view bytes) {
    if (bytes.empty()) return 0;
    const auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    const std::uint8_t lead = at(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    char32_t c = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        c = lead & 0x1FU;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        c = lead & 0x0FU;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        c = lead & 0x07U;
    } else {
        return 0;
    }
    if (bytes.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((at(i) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (at(i) & 0x3FU);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || !encodable(c)) return 0;
    return length;
}

}  // namespace zt::client
