#include "retention/retention.h"

#include <algorithm>
#include <charconv>

namespace retention {
namespace {

constexpr std::string_view kExtension = ".zip";

char foldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameAsciiCaseless(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return foldAscii(x) == foldAscii(y); });
}

bool allDigits(std::string_view text) {
    return std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

int numberOf(std::string_view digits) {
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

std::size_t digitsOf(NameForm form) { return form == NameForm::Monthly ? 6 : 4; }

// The date in the name (YYYYMM or YYYY) when the name is of the series.
std::optional<int> dateOf(std::string_view name, const Series& series) {
    const std::size_t digits = digitsOf(series.form);
    if (name.size() != series.stem.size() + 1 + digits + kExtension.size()) return std::nullopt;
    if (!sameAsciiCaseless(name.substr(0, series.stem.size()), series.stem)) return std::nullopt;
    name.remove_prefix(series.stem.size());
    if (name.front() != '-' || !sameAsciiCaseless(name.substr(1 + digits), kExtension)) return std::nullopt;
    const std::string_view date = name.substr(1, digits);
    if (!allDigits(date)) return std::nullopt;
    if (series.form == NameForm::Monthly) {
        const int month = numberOf(date.substr(4));
        if (month < 1 || month > 12) return std::nullopt;
    }
    return numberOf(date);
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

ParsedKeep ParseKeepCount(std::string_view text) {
    const std::string_view number = trimmed(text);
    if (number.empty()) return {};
    if (number.size() <= 4 && allDigits(number)) {
        const int value = numberOf(number);
        if (value >= 1) return {static_cast<unsigned>(value), {}};
    }
    return {std::nullopt, "The number of archives to keep must be a whole number from 1 to " +
                              std::to_string(kMostKept) + ", or blank to keep them all; \"" + std::string(text) +
                              "\" is not."};
}

std::string KeepCountText(KeepCount keep) { return keep ? std::to_string(*keep) : std::string(); }

std::optional<Series> SeriesOf(std::string_view fileName) {
    const std::size_t dash = fileName.rfind('-');
    if (dash == std::string_view::npos) return std::nullopt;
    const std::string_view stem = fileName.substr(0, dash);
    for (NameForm form : {NameForm::Monthly, NameForm::Yearly}) {
        Series series{std::string(stem), form};
        if (dateOf(fileName, series)) return series;
    }
    return std::nullopt;
}

std::vector<std::string> ArchivesToRemove(std::span<const std::string> names, const Series& series, unsigned keep,
                                          std::string_view justWritten) {
    struct Dated {
        int date;
        std::string name;
    };
    std::vector<Dated> others;
    for (const std::string& name : names)
        if (auto date = dateOf(name, series); date && !sameAsciiCaseless(name, justWritten))
            others.push_back({*date, name});
    // The archive just written takes one of the places.
    const std::size_t othersKept = keep == 0 ? 0 : keep - 1;
    if (others.size() <= othersKept) return {};
    std::ranges::sort(others, [](const Dated& a, const Dated& b) { return a.date < b.date; });
    std::vector<std::string> removed;
    for (std::size_t i = 0; i < others.size() - othersKept; ++i) removed.push_back(std::move(others[i].name));
    return removed;
}

Pruning PruneArchives(platform::Os& os, std::string_view archivePath, unsigned keep) {
    const std::size_t cut = archivePath.find_last_of("\\/") + 1;
    const std::string folder(archivePath.substr(0, cut));
    const std::string_view justWritten = archivePath.substr(cut);
    const auto series = SeriesOf(justWritten);
    if (!series) return {};

    const std::string pattern = folder + series->stem + "-*" + std::string(kExtension);
    const auto entries = os.findFiles(pattern);
    // The archive just written matches: a search that finds nothing failed.
    if (!entries) return {{}, {{pattern, "The folder could not be searched for older archives."}}};
    std::vector<std::string> names;
    for (const platform::DirEntry& entry : *entries)
        if (!entry.isDirectory()) names.push_back(entry.name);

    Pruning pruning;
    for (const std::string& name : ArchivesToRemove(names, *series, keep, justWritten)) {
        const std::string path = folder + name;
        if (platform::Status deleted = os.deleteFile(path))
            pruning.removed.push_back(path);
        else
            pruning.failed.push_back({path, deleted.error});
    }
    return pruning;
}

}  // namespace retention
