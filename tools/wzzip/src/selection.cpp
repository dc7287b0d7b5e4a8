#include "selection.h"

namespace wz {

namespace {

char32_t fold(char32_t c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

// Code points of a UTF-8 string; a stray byte stands for itself.
std::u32string decode(std::string_view s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > s.size()) {
            out.push_back(b);
            ++i;
            continue;
        }
        char32_t c = len == 1 ? b : b & (0x7F >> len);
        for (size_t k = 1; k < len; ++k) c = c << 6 | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(c);
        i += len;
    }
    return out;
}

bool glob(std::u32string_view p, std::u32string_view n) {
    size_t pi = 0, ni = 0, star = std::u32string_view::npos, resume = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || (p[pi] != '*' && fold(p[pi]) == fold(n[ni])))) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            resume = ni;
        } else if (star != std::u32string_view::npos) {
            pi = star + 1;
            ni = ++resume;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

bool has_wildcard(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

struct Spec {
    std::string folder;  // empty for the current folder
    std::string pattern;
};

Spec split_filespec(const std::string& spec) {
    size_t cut = spec.size();
    while (cut > 0 && !fs::is_separator(spec[cut - 1])) --cut;
    std::string pattern = spec.substr(cut);
    if (pattern.empty()) return {spec, std::string(1, '*')};
    if (!has_wildcard(pattern)) {
        if (auto info = fs::stat(spec); info && info->is_directory()) return {spec, std::string(1, '*')};
    }
    return {spec.substr(0, cut), std::move(pattern)};
}

class Walker {
public:
    Walker(const SelectOptions& o, const std::string& archive_path, Selection& out)
        : options_(o), archive_path_(archive_path), archive_name_(match_key(last_component(archive_path))), out_(out) {}

    // Returns whether the folder was readable and held nothing at all.
    bool walk(const std::string& folder, const std::string& prefix, const std::string& pattern) {
        std::vector<fs::FileInfo> entries;
        try {
            entries = fs::list_folder(folder.empty() ? std::string(".") : folder);
        } catch (const fs::Error& e) {
            out_.skipped_folders.push_back({prefix.empty() ? folder : prefix, e.what()});
            return false;
        }
        for (fs::FileInfo& info : entries) {
            if (!options_.include_hidden && (info.attributes & (fs::kAttrHidden | fs::kAttrSystem))) continue;
            const std::string path = fs::join(folder, info.name);
            if (info.is_directory()) {
                if (options_.recurse && !info.is_reparse_point()) enter(path, prefix + info.name + "/", pattern, info);
            } else if (wildcard_match(pattern, info.name) && !is_archive(info.name, path)) {
                std::string relative = prefix + info.name;
                add(path, std::move(relative), std::move(info));
            }
        }
        return entries.empty();
    }

private:
    static std::string last_component(const std::string& path) {
        size_t cut = path.size();
        while (cut > 0 && !fs::is_separator(path[cut - 1])) --cut;
        return path.substr(cut);
    }

    // Folders with anything in them come back through their contents; an
    // empty one gets an entry of its own, when the pattern takes everything,
    // so that it is restored too.
    void enter(const std::string& path, const std::string& prefix, const std::string& pattern, fs::FileInfo& info) {
        if (walk(path, prefix, pattern) && options_.store_paths && (pattern == "*" || pattern == "*.*"))
            add(path, prefix, info);
    }

    bool is_archive(const std::string& name, const std::string& path) const {
        if (fs::is_temp_name(name)) return true;
        return match_key(name) == archive_name_ && fs::same_path(path, archive_path_);
    }

    void add(const std::string& path, std::string relative, fs::FileInfo info) {
        std::string name = options_.store_paths ? std::move(relative) : info.name;
        out_.files.push_back({path, std::move(name), std::move(info)});
    }

    const SelectOptions& options_;
    const std::string& archive_path_;
    std::string archive_name_;
    Selection& out_;
};

}  // namespace

bool wildcard_match(std::string_view pattern, std::string_view name) {
    const std::u32string p = decode(pattern), n = decode(name);
    if (glob(p, n)) return true;
    const std::u32string_view pv(p);
    if (pv.ends_with(U".*")) return glob(pv.substr(0, pv.size() - 2), n);
    if (pv.ends_with(U".") && n.find(U'.') == std::u32string::npos) return glob(pv.substr(0, pv.size() - 1), n);
    return false;
}

Selection select_files(const std::vector<std::string>& filespecs, const SelectOptions& options,
                       const std::string& archive_path, const std::function<void(const std::string&)>& warn) {
    Selection out;
    Walker walker(options, archive_path, out);
    for (const std::string& spec : filespecs) {
        const Spec s = split_filespec(spec);
        if (!s.folder.empty() && !fs::stat(s.folder)) {
            warn(spec + ": no such folder");
            continue;
        }
        walker.walk(s.folder, "", s.pattern);
    }
    return out;
}

}  // namespace wz
