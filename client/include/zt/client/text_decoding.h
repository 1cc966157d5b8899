// Text from the scanner, as UTF-8 for terminals, JSON and the program's widgets.
// The scanner's 8-bit text is in this machine's character set (the locale's LC_CTYPE codeset); bytes
// that do not decode in it are taken as Latin-1, so that nothing a scanner sent is ever dropped.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace zt::client {

// Decodes 8-bit text of one character set to UTF-8. Not thread-safe: one decoder per thread.
class TextDecoder {
public:
    // The locale's character set, nl_langinfo(CODESET); the program calls setlocale(LC_ALL, "") first.
    [[nodiscard]] static TextDecoder forLocale();
    // A character set by its iconv name ("ISO-8859-15", "CP1252", "UTF-8"). A name iconv does not know
    // decodes every byte above 0x7F as Latin-1.
    explicit TextDecoder(std::string_view charset);
    ~TextDecoder();
    TextDecoder(TextDecoder&&) noexcept;
    TextDecoder& operator=(TextDecoder&&) noexcept;

    // Every byte of `bytes` (zero bytes included) becomes one or more characters of the result.
    [[nodiscard]] std::string decode(std::string_view bytes);

    [[nodiscard]] const std::string& charset() const { return charset_; }

private:
    struct Converter;
    std::string charset_;
    std::unique_ptr<Converter> converter_;  // null for UTF-8, which needs no conversion
};

// Length of the valid UTF-8 sequence at the start of `bytes`, or 0 when it does not start with one
// (overlong forms, surrogates and code points above U+10FFFF are not valid).
[[nodiscard]] std::size_t utf8SequenceLength(std::string_view bytes);

}  // namespace zt::client
