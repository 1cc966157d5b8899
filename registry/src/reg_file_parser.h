// Reads the lines of a .reg text into a hive: header, key sections, deletions and values.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "hive_store.h"
#include "line_reader.h"
#include "value_data.h"

namespace zt::registry::detail {

// Collects issues up to kMaxReportedIssues and counts the rest, so a file of junk cannot grow the list
// without end.
class IssueSink {
public:
    explicit IssueSink(std::vector<RegistryIssue>* out) noexcept : out_(out) {}
    void report(std::size_t line, std::string message);
    void report(RegistryIssue issue) { report(issue.line, std::move(issue.message)); }
    void finish();

private:
    std::vector<RegistryIssue>* out_;
    std::size_t reported_ = 0;
    std::size_t dropped_ = 0;
};

class RegFileParser {
public:
    RegFileParser(std::string_view text, HiveStore& store, IssueSink& issues) noexcept
        : reader_(text), store_(store), issues_(issues) {}

    // False when the file needs more keys than a hive may hold; reading stopped there.
    [[nodiscard]] bool run();

private:
    // Where values of the current section go.
    enum class Section {
        None,     // before the first section: a value here is an issue
        Invalid,  // the section line was malformed (already reported): its values are skipped
        Deleted,  // a [-...] section: its values are ignored
        Key,      // values go into key_
    };

    void readHeader();
    void handleLine(const Line& line);
    void handleSection(std::string_view text, std::size_t line);
    void handleValue(std::string_view text, std::size_t line);
    [[nodiscard]] bool checkKeyNames(const std::vector<std::string_view>& names, std::size_t line);
    [[nodiscard]] bool openKey(const std::vector<std::string_view>& names, std::string_view root);
    void deleteKey(const std::vector<std::string_view>& names, std::string_view root);
    void storeValue(std::string name, ValueData data);

    LineReader reader_;
    HiveStore& store_;
    IssueSink& issues_;
    ValueDataParser values_{reader_, false};
    Section section_ = Section::None;
    NodeId key_ = HiveStore::kTop;
    bool full_ = false;
};

}  // namespace zt::registry::detail
