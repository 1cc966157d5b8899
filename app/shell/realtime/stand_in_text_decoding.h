// STAND-IN for the client module's text decoding (zt_client): replace this file's users by the client
// module's function when it is merged. Scanner text is 8-bit text in the locale's character set; it is
// decoded with iconv, and a byte that does not decode there is taken as Latin-1 (U+0000..U+00FF), so
// nothing the scanner sent is ever dropped.
#pragma once

#include <QByteArray>
#include <QString>

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <string>
#include <string_view>

namespace talvo::standin {

namespace detail {
inline void appendLatin1(std::string& utf8, unsigned char byte) {
    if (byte < 0x80) {
        utf8 += static_cast<char>(byte);
    } else {
        utf8 += static_cast<char>(0xC0 | (byte >> 6));
        utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
}
}  // namespace detail

// `codeset` empty: the current locale's (nl_langinfo(CODESET)).
[[nodiscard]] inline QString decodeLocalText(std::string_view bytes, const char* codeset = nullptr) {
    if (codeset == nullptr || *codeset == '\0') codeset = ::nl_langinfo(CODESET);
    iconv_t cd = ::iconv_open("UTF-8", codeset);
    std::string utf8;
    if (cd == reinterpret_cast<iconv_t>(-1)) {  // unknown character set: every byte as Latin-1
        for (const char c : bytes) detail::appendLatin1(utf8, static_cast<unsigned char>(c));
        return QString::fromStdString(utf8);
    }
    std::string in(bytes);
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        utf8.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (rc != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // EILSEQ or a sequence cut short at the end: the first byte stands for itself.
        detail::appendLatin1(utf8, static_cast<unsigned char>(*inPtr));
        ++inPtr;
        --inLeft;
        ::iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state
    }
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    ::iconv(cd, nullptr, nullptr, &outPtr, &outLeft);  // a stateful character set ends its last sequence
    utf8.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    ::iconv_close(cd);
    return QString::fromStdString(utf8);
}

}  // namespace talvo::standin
