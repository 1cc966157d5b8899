// The data part of a value line (what follows "name"=): a string, dword:, hex:, hex(n): or "-".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "line_reader.h"
#include "zt/registry/registry.h"

namespace zt::registry::detail {

struct ValueData {
    bool remove = false;  // "name"=-
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> bytes;
};

struct ValueDataResult {
    std::optional<ValueData> data;       // set when the data is well formed
    std::optional<RegistryIssue> issue;  // set otherwise
};

// Parses quoted text starting at text[pos] == '"', undoing the escapes \\ \" \n \r \0 (any other
// backslash is kept as written). Advances pos past the closing quote; nothing when it is missing.
[[nodiscard]] std::optional<std::string> parseQuoted(std::string_view text, std::size_t& pos);

// A short, printable excerpt of a line for issue messages.
[[nodiscard]] std::string excerpt(std::string_view text);

class ValueDataParser {
public:
    // ansiFile: the file is a REGEDIT4 one, whose hex(1), hex(2) and hex(7) data are 8-bit text that
    // the registry keeps as UTF-16LE.
    ValueDataParser(LineReader& reader, bool ansiFile) noexcept : reader_(reader), ansiFile_(ansiFile) {}

    void setAnsiFile(bool ansiFile) noexcept { ansiFile_ = ansiFile; }

    // data: the line's text after '=' and blanks; line: that line's number. Hex continuation lines are
    // taken from the reader, also when the data is malformed, so that they are never read as lines of
    // their own.
    [[nodiscard]] ValueDataResult parse(std::string_view data, std::size_t line);

private:
    [[nodiscard]] ValueDataResult parseString(std::string_view data, std::size_t line) const;
    [[nodiscard]] ValueDataResult parseDword(std::string_view digits, std::size_t line) const;
    [[nodiscard]] ValueDataResult parseHex(std::uint32_t type, std::string_view bytes, std::size_t line);

    // Reads past the continuation lines of data that is not parsed.
    void skipContinuation(std::string_view piece);

    LineReader& reader_;
    bool ansiFile_;
};

}  // namespace zt::registry::detail
