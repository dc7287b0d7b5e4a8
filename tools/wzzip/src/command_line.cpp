#include "command_line.h"

namespace wz {

std::vector<std::string> split_command_line(std::string_view raw) {
    std::vector<std::string> pieces;
    std::string piece;
    bool in_piece = false, quoted = false;
    for (char c : raw) {
        if (c == '"') {
            quoted = !quoted;
            in_piece = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (in_piece) pieces.push_back(std::move(piece));
            piece.clear();
            in_piece = false;
        } else {
            piece.push_back(c);
            in_piece = true;
        }
    }
    if (in_piece) pieces.push_back(std::move(piece));
    return pieces;
}

namespace {

int level_for(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    switch (c) {
        case 'x': return 9;
        case 'n': return 6;
        case 'f': return 2;
        case 's': return 1;
        default: return -1;
    }
}

// One argument such as "-u", "-rp", "-e9" or "-whs".
void apply_switches(const std::string& arg, Options& o) {
    const std::string_view s = std::string_view(arg).substr(1);
    if (s.empty()) throw UsageError("a lone '-' is not a switch");
    for (size_t i = 0; i < s.size(); ++i) {
        if (s.substr(i).starts_with("whs")) {
            o.include_hidden = true;
            i += 2;
            continue;
        }
        switch (s[i]) {
            case 'u': o.mode = Mode::Update; break;
            case 'a': o.mode = Mode::Add; break;
            case 'p': o.store_paths = true; break;
            case 'r': o.recurse = true; break;
            case '?': o.help = true; break;
            case 'e':
                if (i + 1 < s.size() && level_for(s[i + 1]) >= 0) {
                    o.level = level_for(s[++i]);
                    break;
                }
                throw UsageError("unknown compression switch in " + arg + " (use -e0 to -e9, -ex, -en, -ef or -es)");
            default: throw UsageError("unknown switch " + arg);
        }
    }
}

}  // namespace

Options parse_options(const std::vector<std::string>& args) {
    Options o;
    size_t i = 0;
    for (; i < args.size() && args[i].starts_with('-'); ++i) apply_switches(args[i], o);
    if (o.help) return o;
    if (i == args.size()) throw UsageError("no archive named");
    o.archive = args[i++];
    if (o.archive.empty()) throw UsageError("the archive name is empty");
    o.filespecs.assign(args.begin() + ptrdiff_t(i), args.end());
    if (o.filespecs.empty()) throw UsageError("no files named");
    return o;
}

std::string usage_text() {
    return "Usage: wzzip [switches] zipfile filespec...\n"
           "  -a      add every matching file, replacing stored copies (default)\n"
           "  -u      update: add new files, replace those newer on disk, keep the rest\n"
           "  -r      recurse into sub-folders\n"
           "  -p      store folder names relative to the filespec's folder\n"
           "  -whs    include hidden and system files\n"
           "  -e0..-e9, -ex, -en, -ef, -es  compression level (0 stores; default -en = 6)\n"
           "  -?      show this help\n"
           "Exit codes: 0 done, 12 nothing to add or update, 13 nothing matched,\n"
           "  14 read or write error, 16 bad command line, 18 some files skipped,\n"
           "  2 or 3 the existing archive is damaged (left unchanged).";
}

}  // namespace wz
