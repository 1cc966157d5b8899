// Just enough JSON for one-line objects: a string escaper and an object builder.
#pragma once

#include <string>
#include <string_view>

namespace ztctl {

// `text` as a JSON string literal, quotes included. Quote, backslash and control characters are escaped;
// bytes that are not valid UTF-8 become U+FFFD, so the result is always valid JSON.
[[nodiscard]] std::string jsonString(std::string_view text);

// Builds {"key":value,...} in the order the members are added.
class JsonObject {
public:
    JsonObject& add(std::string_view key, std::string_view text);
    JsonObject& add(std::string_view key, const char* text) { return add(key, std::string_view(text)); }
    JsonObject& add(std::string_view key, long long number);
    JsonObject& add(std::string_view key, int number) { return add(key, static_cast<long long>(number)); }
    JsonObject& add(std::string_view key, bool flag);
    JsonObject& addNull(std::string_view key);
    // `json` must already be JSON (a number, an object, ...).
    JsonObject& addRaw(std::string_view key, std::string_view json);

    [[nodiscard]] std::string str() const { return body_ + "}"; }

private:
    void key(std::string_view name);

    std::string body_ = "{";
};

}  // namespace ztctl
