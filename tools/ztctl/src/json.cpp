#include "json.h"

#include "zt/client/text_decoding.h"

#include <cstdint>

namespace ztctl {

using zt::client::utf8SequenceLength;
namespace {

void appendControl(std::string& out, std::uint8_t byte) {
    switch (byte) {
        case '\b': out += "\\b"; return;
        case '\f': out += "\\f"; return;
        case '\n': out += "\\n"; return;
        case '\r': out += "\\r"; return;
        case '\t': out += "\\t"; return;
        default: break;
    }
    constexpr std::string_view kDigits = "0123456789abcdef";
    out += "\\u00";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
}

}  // namespace

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    out.reserve(text.size() + 2);
    while (!text.empty()) {
        const std::size_t length = utf8SequenceLength(text);
        if (length == 0) {
            out += "\\ufffd";
            text.remove_prefix(1);
            continue;
        }
        const auto byte = static_cast<std::uint8_t>(text[0]);
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte < 0x20 || byte == 0x7F) {
            appendControl(out, byte);
        } else {
            out += text.substr(0, length);
        }
        text.remove_prefix(length);
    }
    out += '"';
    return out;
}

void JsonObject::key(std::string_view name) {
    if (body_.size() > 1) body_ += ',';
    body_ += jsonString(name);
    body_ += ':';
}

JsonObject& JsonObject::add(std::string_view name, std::string_view text) {
    key(name);
    body_ += jsonString(text);
    return *this;
}

JsonObject& JsonObject::add(std::string_view name, long long number) {
    key(name);
    body_ += std::to_string(number);
    return *this;
}

JsonObject& JsonObject::add(std::string_view name, bool flag) {
    key(name);
    body_ += flag ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::addNull(std::string_view name) {
    key(name);
    body_ += "null";
    return *this;
}

JsonObject& JsonObject::addRaw(std::string_view name, std::string_view json) {
    key(name);
    body_ += json;
    return *this;
}

}  // namespace ztctl
