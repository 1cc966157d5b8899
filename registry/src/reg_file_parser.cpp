#include "reg_file_parser.h"

#include <utility>

#include "key_path.h"
#include "text_codec.h"

namespace zt::registry::detail {
namespace {

constexpr std::string_view kHeaderAnsi = "REGEDIT4";
constexpr std::string_view kHeaderUnicode = "Windows Registry Editor Version 5.00";

[[nodiscard]] bool isComment(std::string_view text) noexcept { return text.front() == ';' || text.front() == '#'; }

}  // namespace

void IssueSink::report(std::size_t line, std::string message) {
    if (out_ == nullptr) return;
    if (reported_ == kMaxReportedIssues) {
        ++dropped_;
        return;
    }
    out_->push_back(RegistryIssue{line, std::move(message)});
    ++reported_;
}

void IssueSink::finish() {
    if (out_ != nullptr && dropped_ > 0)
        out_->push_back(RegistryIssue{0, std::to_string(dropped_) + " further issues not listed"});
}

bool RegFileParser::run() {
    readHeader();
    while (!full_) {
        const auto line = reader_.next();
        if (!line) break;
        handleLine(*line);
    }
    return !full_;
}

void RegFileParser::readHeader() {
    while (const auto line = reader_.next()) {
        const std::string_view text = trimBlanks(line->text);
        if (text.empty()) continue;
        if (text == kHeaderAnsi || text == kHeaderUnicode) {
            values_.setAnsiFile(text == kHeaderAnsi);
            return;
        }
        issues_.report(line->number, "missing header \"" + std::string(kHeaderUnicode) + "\" or \"" +
                                         std::string(kHeaderAnsi) + "\"");
        handleLine(*line);
        return;
    }
}

void RegFileParser::handleLine(const Line& line) {
    const std::string_view text = trimBlanks(line.text);
    if (text.empty() || isComment(text)) return;
    if (text.front() == '[') {
        handleSection(text, line.number);
    } else if (text.front() == '"' || text.front() == '@') {
        handleValue(text, line.number);
    } else {
        issues_.report(line.number, "not a key, a value or a comment: '" + excerpt(text) + "'");
    }
}

void RegFileParser::handleSection(std::string_view text, std::size_t line) {
    section_ = Section::Invalid;
    if (text.back() != ']' || text.size() < 2) {
        issues_.report(line, "key line without closing ']'");
        return;
    }
    std::string_view path = text.substr(1, text.size() - 2);
    const bool remove = path.starts_with('-');
    if (remove) path.remove_prefix(1);
    const auto names = splitKeyPath(path);
    if (!names || names->empty()) {
        issues_.report(line, "malformed key path '" + excerpt(path) + "'");
        return;
    }
    const auto root = canonicalRoot(names->front());
    if (!root) {
        issues_.report(line, "unknown root key '" + excerpt(names->front()) + "'");
        return;
    }
    if (!checkKeyNames(*names, line)) return;
    if (remove) {
        if (names->size() == 1) {
            issues_.report(line, "a root key cannot be deleted");
            return;
        }
        deleteKey(*names, *root);
        section_ = Section::Deleted;
        return;
    }
    if (openKey(*names, *root)) section_ = Section::Key;
}

bool RegFileParser::openKey(const std::vector<std::string_view>& names, std::string_view root) {
    auto key = store_.ensureChild(HiveStore::kTop, root);
    for (std::size_t i = 1; key && i < names.size(); ++i) key = store_.ensureChild(*key, names[i]);
    if (!key) {
        full_ = true;
        return false;
    }
    key_ = *key;
    return true;
}

bool RegFileParser::checkKeyNames(const std::vector<std::string_view>& names, std::size_t line) {
    if (names.size() - 1 > kMaxKeyDepth) {
        issues_.report(line, "key path deeper than " + std::to_string(kMaxKeyDepth) + " keys");
        return false;
    }
    for (std::string_view name : names) {
        if (codePointCount(name) > kMaxKeyNameChars) {
            issues_.report(line, "key name longer than " + std::to_string(kMaxKeyNameChars) + " characters");
            return false;
        }
    }
    return true;
}

void RegFileParser::deleteKey(const std::vector<std::string_view>& names, std::string_view root) {
    auto parent = store_.child(HiveStore::kTop, root);
    for (std::size_t i = 1; parent && i + 1 < names.size(); ++i) parent = store_.child(*parent, names[i]);
    if (parent) store_.removeChild(*parent, names.back());
}

void RegFileParser::handleValue(std::string_view text, std::size_t line) {
    std::size_t pos = 1;
    std::string name;
    if (text.front() == '"') {
        pos = 0;
        auto quoted = parseQuoted(text, pos);
        if (!quoted) {
            issues_.report(line, "value name without closing '\"'");
            return;
        }
        name = std::move(*quoted);
    }
    const std::string_view rest = trimBlanks(text.substr(pos));
    if (!rest.starts_with('=')) {
        issues_.report(line, "'=' expected after the value name");
        return;
    }
    // The data is parsed before anything else is checked, so that its continuation lines are consumed.
    ValueDataResult result = values_.parse(trimBlanks(rest.substr(1)), line);
    if (result.issue) {
        issues_.report(std::move(*result.issue));
    } else if (codePointCount(name) > kMaxValueNameChars) {
        issues_.report(line, "value name longer than " + std::to_string(kMaxValueNameChars) + " characters");
    } else if (section_ == Section::None) {
        issues_.report(line, "value before the first key");
    } else if (section_ == Section::Key) {
        storeValue(std::move(name), std::move(*result.data));
    }
}

void RegFileParser::storeValue(std::string name, ValueData data) {
    if (data.remove) {
        store_.removeValue(key_, name);
        return;
    }
    store_.setValue(key_, RegistryValue{std::move(name), data.type, std::move(data.bytes)});
}

}  // namespace zt::registry::detail
