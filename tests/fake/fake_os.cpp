#include "fake_os.h"

#include "zip_format.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <utility>

namespace fake {
namespace {

// --- UTF-8 ---------------------------------------------------------------
std::u32string decode(std::string_view s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; k <= extra && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += extra + 1;
    }
    return out;
}

std::string encode(std::u32string_view s) {
    std::string out;
    for (char32_t cp : s) {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

// Enough of Unicode's simple case mapping for tests: ASCII, Latin-1, Greek
// and basic Cyrillic.
char32_t lowerOf(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

char32_t upperOf(char32_t c) {
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;
    if (c >= 0x430 && c <= 0x44F) return c - 32;
    if (c >= 0x450 && c <= 0x45F) return c - 80;
    return c;
}

std::string lowered(std::string_view s) {
    auto text = decode(s);
    std::transform(text.begin(), text.end(), text.begin(), lowerOf);
    return encode(text);
}

// Windows wildcard match: '*' any run, '?' one character, and a trailing
// ".*" also matches a name without a dot.
bool wildcardMatch(std::u32string_view mask, std::u32string_view name) {
    if (mask.empty()) return name.empty();
    if (mask == U".*" && name.empty()) return true;
    if (mask[0] == U'*') {
        for (std::size_t skip = 0; skip <= name.size(); ++skip)
            if (wildcardMatch(mask.substr(1), name.substr(skip))) return true;
        return false;
    }
    if (name.empty()) return false;
    if (mask[0] != U'?' && mask[0] != name[0]) return false;
    return wildcardMatch(mask.substr(1), name.substr(1));
}

struct SplitPath {
    std::string root;  // "C:" or "\\\\SERVER\\SHARE", upper case
    std::vector<std::string> pieces;
};

std::string upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

// The root ("X:" or "\\\\server\\share") and where the rest begins.
std::optional<std::pair<std::string, std::size_t>> rootOf(std::string_view path) {
    if (path.starts_with("\\\\")) {
        const std::size_t server = path.find('\\', 2);
        if (server == std::string_view::npos || server == 2) return std::nullopt;
        const std::size_t share = std::min(path.find('\\', server + 1), path.size());
        if (share == server + 1) return std::nullopt;
        return std::pair{upper(path.substr(0, share)), share};
    }
    if (path.size() < 2 || path[1] != ':') return std::nullopt;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    if (letter < 'A' || letter > 'Z') return std::nullopt;
    return std::pair{std::string{letter, ':'}, std::size_t{2}};
}

std::optional<SplitPath> split(std::string_view path) {
    const auto root = rootOf(path);
    if (!root) return std::nullopt;
    SplitPath result{root->first, {}};
    std::string_view rest = path.substr(root->second);
    if (!rest.empty() && rest[0] != '\\') return std::nullopt;  // drive-relative
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = rest.find('\\', start);
        if (end == std::string_view::npos) end = rest.size();
        if (end > start) result.pieces.emplace_back(rest.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

}  // namespace

FakeOs::FakeOs() { addDrive('C'); }

void FakeOs::addDrive(char letter) { addRoot(std::string{letter, ':'}); }

void FakeOs::addShare(std::string_view share) { addRoot(share); }

void FakeOs::addRoot(std::string_view name) {
    std::lock_guard hold(lock_);
    auto& root = drives_[upper(name)];
    if (!root) {
        root = std::make_unique<Node>();
        root->name = std::string(name);
    }
}

FakeOs::Node* FakeOs::find(std::string_view path) {
    auto parts = split(path);
    if (!parts) return nullptr;
    auto drive = drives_.find(parts->root);
    if (drive == drives_.end()) return nullptr;
    Node* node = drive->second.get();
    for (const auto& piece : parts->pieces) {
        if (!node->isDirectory()) return nullptr;
        auto child = node->children.find(lowered(piece));
        if (child == node->children.end()) return nullptr;
        node = child->second.get();
    }
    return node;
}

FakeOs::Node* FakeOs::parentFor(std::string_view path, std::string* leaf, bool createParents) {
    auto parts = split(path);
    if (!parts || parts->pieces.empty()) return nullptr;
    if (createParents) addRoot(parts->root);
    auto drive = drives_.find(parts->root);
    if (drive == drives_.end()) return nullptr;
    Node* node = drive->second.get();
    for (std::size_t i = 0; i + 1 < parts->pieces.size(); ++i) {
        auto& child = node->children[lowered(parts->pieces[i])];
        if (!child) {
            if (!createParents) {
                node->children.erase(lowered(parts->pieces[i]));
                return nullptr;
            }
            child = std::make_unique<Node>();
            child->name = parts->pieces[i];
        }
        node = child.get();
        if (!node->isDirectory()) return nullptr;
    }
    *leaf = parts->pieces.back();
    return node;
}

void FakeOs::addFolder(std::string_view path, std::uint32_t attributes) {
    std::lock_guard hold(lock_);
    std::string leaf;
    Node* parent = parentFor(path, &leaf, true);
    if (!parent) {
        if (auto parts = split(path)) addRoot(parts->root);
        return;
    }
    auto& child = parent->children[lowered(leaf)];
    if (!child) child = std::make_unique<Node>();
    child->name = leaf;
    child->attributes = attributes | platform::kAttrDirectory;
}

void FakeOs::addFile(std::string_view path, std::string content, std::uint32_t extraAttributes) {
    std::lock_guard hold(lock_);
    std::string leaf;
    Node* parent = parentFor(path, &leaf, true);
    if (!parent) throw std::invalid_argument("bad fake path");
    auto& child = parent->children[lowered(leaf)];
    child = std::make_unique<Node>();
    child->name = leaf;
    child->attributes = platform::kAttrArchive | extraAttributes;
    child->size = content.size();
    child->content = std::move(content);
}

void FakeOs::addFileOfSize(std::string_view path, std::uint64_t size, std::uint32_t extraAttributes) {
    std::lock_guard hold(lock_);
    addFile(path, {}, extraAttributes);
    find(path)->size = size;
}

void FakeOs::remove(std::string_view path) {
    std::lock_guard hold(lock_);
    std::string leaf;
    if (Node* parent = parentFor(path, &leaf, false)) parent->children.erase(lowered(leaf));
}

void FakeOs::setModified(std::string_view path, std::uint64_t ticks) {
    if (Node* node = find(path)) node->modified = ticks;
}

std::optional<std::string> FakeOs::contentOf(std::string_view path) {
    std::lock_guard hold(lock_);
    Node* node = find(path);
    if (!node || node->isDirectory()) return std::nullopt;
    return node->content;
}

std::optional<std::vector<platform::DirEntry>> FakeOs::findFiles(std::string_view pattern) {
    ++findCalls;
    if (onFind) onFind(pattern);  // outside the lock: a hook may hold the search up
    std::lock_guard hold(lock_);
    auto slash = pattern.rfind('\\');
    if (slash == std::string_view::npos) return std::nullopt;
    std::string_view folderPath = pattern.substr(0, slash + 1);
    auto mask = decode(lowered(pattern.substr(slash + 1)));
    Node* folder = find(folderPath);
    if (!folder || !folder->isDirectory()) return std::nullopt;

    std::vector<platform::DirEntry> entries;
    auto offer = [&](std::string_view name, std::uint32_t attributes, std::uint64_t size, std::uint64_t modified) {
        if (wildcardMatch(mask, decode(lowered(name))))
            entries.push_back({std::string(name), attributes, size, modified});
    };
    bool isRoot = split(folderPath)->pieces.empty();
    if (!isRoot) {
        offer(".", platform::kAttrDirectory, 0, 0);
        offer("..", platform::kAttrDirectory, 0, 0);
    }
    for (const auto& [key, child] : folder->children) offer(child->name, child->attributes, child->size, child->modified);
    if (entries.empty()) return std::nullopt;
    return entries;
}

bool FakeOs::matchesAny(std::string_view pattern) { return findFiles(pattern).has_value(); }

bool FakeOs::folderExists(std::string_view path) {
    std::lock_guard hold(lock_);
    Node* node = find(path);
    return node && node->isDirectory();
}

bool FakeOs::fileExists(std::string_view path) {
    std::lock_guard hold(lock_);
    Node* node = find(path);
    return node && !node->isDirectory();
}

std::optional<std::uint32_t> FakeOs::attributesOf(std::string_view path) {
    std::lock_guard hold(lock_);
    Node* node = find(path);
    if (!node) return std::nullopt;
    return node->attributes;
}

bool FakeOs::isUnwritable(std::string_view path) {
    std::string lower = lowered(path);
    return std::any_of(unwritablePaths.begin(), unwritablePaths.end(),
                       [&](const std::string& p) { return lower.rfind(lowered(p), 0) == 0; });
}

platform::Status FakeOs::createFolder(std::string_view path) {
    std::lock_guard hold(lock_);
    if (isUnwritable(path)) return platform::Status::failure("Access is denied.");
    std::string leaf;
    Node* parent = parentFor(path, &leaf, false);
    if (!parent) return platform::Status::failure("The system cannot find the path specified.");
    auto& child = parent->children[lowered(leaf)];
    if (child) return platform::Status::failure("Cannot create a file when that file already exists.");
    child = std::make_unique<Node>();
    child->name = leaf;
    return platform::Status::success();
}

std::optional<std::string> FakeOs::readFile(std::string_view path) { return contentOf(path); }

platform::Status FakeOs::writeFileReplacing(std::string_view path, std::string_view bytes) {
    std::lock_guard hold(lock_);
    if (isUnwritable(path)) return platform::Status::failure("Access is denied.", true);
    std::string leaf;
    Node* parent = parentFor(path, &leaf, false);
    if (!parent) return platform::Status::failure("The system cannot find the path specified.");
    auto& child = parent->children[lowered(leaf)];
    if (child && child->isDirectory()) return platform::Status::failure("Access is denied.");
    child = std::make_unique<Node>();
    child->name = leaf;
    child->attributes = platform::kAttrArchive;
    child->content = std::string(bytes);
    child->size = bytes.size();
    return platform::Status::success();
}

std::optional<std::uint64_t> FakeOs::fileSize(std::string_view path) {
    Node* node = find(path);
    if (!node || node->isDirectory()) return std::nullopt;
    return node->size;
}

std::optional<std::string> FakeOs::readFileRange(std::string_view path, std::uint64_t offset, std::size_t length) {
    Node* node = find(path);
    if (!node || node->isDirectory() || offset > node->content.size() || length > node->content.size() - offset)
        return std::nullopt;
    return node->content.substr(static_cast<std::size_t>(offset), length);
}

platform::Status FakeOs::appendFlushed(std::string_view path, std::string_view bytes) {
    if (isUnwritable(path)) return platform::Status::failure("Access is denied.", true);
    if (Node* node = find(path)) {
        if (node->isDirectory()) return platform::Status::failure("Access is denied.");
        node->content += bytes;
        node->size = node->content.size();
        return platform::Status::success();
    }
    return writeFileReplacing(path, bytes);
}

platform::Status FakeOs::moveReplacing(std::string_view from, std::string_view to) { return move(from, to, true); }

// The file itself moves, with its time and attributes.
platform::Status FakeOs::move(std::string_view from, std::string_view to, bool replacing) {
    std::lock_guard hold(lock_);
    std::string fromLeaf, toLeaf;
    Node* fromParent = parentFor(from, &fromLeaf, false);
    Node* source = find(from);
    if (!fromParent || !source || source->isDirectory())
        return platform::Status::failure("The system cannot find the file specified.");
    if (isUnwritable(to)) return platform::Status::failure("Access is denied.", true);
    Node* toParent = parentFor(to, &toLeaf, false);
    if (!toParent) return platform::Status::failure("The system cannot find the path specified.");
    Node* existing = find(to);
    if (existing && (existing->isDirectory() || !replacing))
        return platform::Status::failure("Cannot create a file when that file already exists.");
    std::unique_ptr<Node> moved = std::move(fromParent->children[lowered(fromLeaf)]);
    fromParent->children.erase(lowered(fromLeaf));
    moved->name = toLeaf;
    toParent->children[lowered(toLeaf)] = std::move(moved);
    return platform::Status::success();
}

// The fake's ANSI code page is Windows-1252's Latin-1 part, or UTF-8.
std::string FakeOs::ansiToUtf8(std::string_view bytes) {
    if (ansiCodePage == 65001) return std::string(bytes);
    std::u32string text;
    for (unsigned char c : bytes) text.push_back(c);
    return encode(text);
}

platform::AnsiText FakeOs::utf8ToAnsi(std::string_view text) {
    if (conversionFailure) return {platform::Status::failure(*conversionFailure), std::nullopt};
    if (ansiCodePage == 65001) return {platform::Status::success(), std::string(text)};
    std::string out;
    for (char32_t cp : decode(text)) {
        if (cp > 0xFF) return {platform::Status::success(), std::nullopt};
        out.push_back(static_cast<char>(cp));
    }
    return {platform::Status::success(), out};
}

std::optional<std::string> FakeOs::profilesDirectory() {
    if (profilesDir) return profilesDir;
    std::size_t first = windowsDir.find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    return windowsDir.substr(first, 1) + ":\\Documents and Settings";
}

std::optional<std::string> FakeOs::knownFolder(platform::KnownFolder which) {
    switch (which) {
        case platform::KnownFolder::Documents: return documentsFolder;
        case platform::KnownFolder::LocalAppData: return localAppDataFolder;
        case platform::KnownFolder::ProgramFiles: return programFilesFolder;
        case platform::KnownFolder::ProgramFilesX86: break;
    }
    return programFilesX86Folder;
}

std::optional<std::string> FakeOs::machineRegistryText(platform::RegistryView view, std::string_view key,
                                                       std::string_view valueName) {
    auto found = machineRegistry.find({view, std::string(key), std::string(valueName)});
    if (found == machineRegistry.end()) return std::nullopt;
    return found->second;
}

std::string FakeOs::upperCase(std::string_view text) {
    auto decoded = decode(text);
    std::transform(decoded.begin(), decoded.end(), decoded.begin(), upperOf);
    return encode(decoded);
}

std::string FakeOs::lowerCase(std::string_view text) { return lowered(text); }

std::string FakeOs::formatDateTime(std::uint64_t utcTicks) {
    using namespace std::chrono;
    constexpr std::int64_t kSeconds1601To1970 = 11644473600;
    sys_seconds moment{seconds{static_cast<std::int64_t>(utcTicks / 10'000'000) - kSeconds1601To1970}};
    auto day = floor<days>(moment);
    year_month_day date{day};
    hh_mm_ss time{moment - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()));
    return text;
}

namespace {

class FakeLock : public platform::HeldLock {
public:
    FakeLock(std::set<std::string>& held, std::string name) : held_(held), name_(std::move(name)) {}
    ~FakeLock() override { held_.erase(name_); }

private:
    std::set<std::string>& held_;
    std::string name_;
};

}  // namespace

std::unique_ptr<platform::HeldLock> FakeOs::holdNamedLock(std::string_view name) {
    if (!heldLocks.emplace(name).second) return nullptr;
    return std::make_unique<FakeLock>(heldLocks, std::string(name));
}

// --- FakeChild -------------------------------------------------------------

class FakeChildProcess : public platform::ChildProcess {
public:
    explicit FakeChildProcess(std::shared_ptr<FakeChild> child) : child_(std::move(child)) {}

    bool waitForExit(std::chrono::milliseconds timeout) override {
        std::unique_lock lock(child_->lock_);
        return child_->ended_.wait_for(lock, timeout, [this] { return child_->exitCode_.has_value(); });
    }
    std::optional<std::uint32_t> exitCode() override {
        std::lock_guard lock(child_->lock_);
        return child_->exitCode_;
    }
    std::string readNewOutput() override {
        std::lock_guard lock(child_->lock_);
        return std::exchange(child_->unread_, {});
    }
    std::uint64_t bytesRead() override {
        std::lock_guard lock(child_->lock_);
        return child_->bytesRead_;
    }
    platform::Status terminate() override {
        if (child_->exitsAsTerminated) child_->exit(*child_->exitsAsTerminated);
        {
            std::lock_guard lock(child_->lock_);
            if (child_->exitCode_) return platform::Status::success();
            child_->terminated_ = true;
        }
        child_->exit(platform::kTerminatedExitCode);
        return platform::Status::success();
    }
    std::uint32_t processId() const override { return child_->processId_; }

private:
    std::shared_ptr<FakeChild> child_;
};

void FakeChild::write(std::string_view text) {
    std::lock_guard lock(lock_);
    unread_ += text;
}

void FakeChild::setBytesRead(std::uint64_t bytes) {
    std::lock_guard lock(lock_);
    bytesRead_ = bytes;
}

void FakeChild::exit(std::uint32_t code) {
    {
        std::lock_guard lock(lock_);
        if (!exitCode_) exitCode_ = code;
    }
    ended_.notify_all();
}

bool FakeChild::terminated() {
    std::lock_guard lock(lock_);
    return terminated_;
}

platform::StartedChild FakeOs::startHidden(std::string_view commandLine, std::string_view outputTag) {
    commandsRun.emplace_back(commandLine);
    outputTags.emplace_back(outputTag);
    events.push_back("start");
    if (startFailure) return {nullptr, *startFailure};
    std::shared_ptr<FakeChild> child = onStart ? onStart(commandLine) : nullptr;
    if (!child) {
        child = std::make_shared<FakeChild>();
        child->exit(0);
    }
    return {std::make_unique<FakeChildProcess>(child), {}};
}

platform::Status FakeOs::deleteFile(std::string_view path) {
    std::lock_guard hold(lock_);
    Node* node = find(path);
    if (!node || node->isDirectory()) return platform::Status::failure("The system cannot find the file specified.");
    remove(path);
    return platform::Status::success();
}

std::optional<std::uint64_t> FakeOs::freeSpace(std::string_view folder) {
    std::lock_guard hold(lock_);
    return find(folder) ? freeBytes : std::nullopt;
}

std::optional<std::string> FakeOs::fullPath(std::string_view path) {
    if (path.empty()) return std::nullopt;
    std::string text(path);
    std::replace(text.begin(), text.end(), '/', '\\');
    std::string root;
    std::string_view rest;
    if (text.starts_with("\\\\")) {
        const auto server = text.find('\\', 2);
        const auto share = server == std::string::npos ? server : text.find('\\', server + 1);
        if (share == std::string::npos) return text;
        root = text.substr(0, share + 1);
        rest = std::string_view(text).substr(share + 1);
    } else if (text.size() >= 2 && text[1] == ':') {
        root = text.substr(0, 2) + "\\";
        rest = std::string_view(text).substr(2);
    } else if (text.front() == '\\') {
        root = currentDirectory.substr(0, 3);
        rest = std::string_view(text).substr(1);
    } else {
        return fullPath(currentDirectory + "\\" + text);
    }
    std::vector<std::string_view> parts;
    while (!rest.empty()) {
        const auto cut = std::min(rest.find('\\'), rest.size());
        const std::string_view part = rest.substr(0, cut);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        rest.remove_prefix(std::min(cut + 1, rest.size()));
    }
    std::string full = root;
    for (std::size_t i = 0; i < parts.size(); ++i) full += (i ? "\\" : "") + std::string(parts[i]);
    if (!parts.empty() && text.back() == '\\') full += '\\';
    return full;
}

platform::FolderListing FakeOs::listFolder(std::string_view folder) {
    std::string path(folder);
    if (!path.empty() && path.back() != '\\') path += '\\';
    platform::FolderListing listing;
    auto found = findFiles(path + "*.*");
    const std::string key = lowered(path);
    if (std::any_of(unlistableFolders.begin(), unlistableFolders.end(), [&](const std::string& unlistable) {
            return lowered(unlistable.ends_with('\\') ? unlistable : unlistable + '\\') == key;
        })) {
        listing.unreadable = "Access is denied.";
        return listing;
    }
    for (auto& entry : found.value_or(std::vector<platform::DirEntry>{}))
        if (entry.name != "." && entry.name != "..") listing.entries.push_back(std::move(entry));
    return listing;
}

std::string FakeOs::oemToUtf8(std::string_view bytes) { return wz::cp437_to_utf8(bytes); }

namespace {

class FakeReader : public platform::FileReader {
public:
    explicit FakeReader(std::string content) : content_(std::move(content)) {}
    std::uint64_t size() const override { return content_.size(); }
    platform::Status readExact(std::uint64_t offset, std::span<char> buffer) override {
        if (offset > content_.size() || buffer.size() > content_.size() - offset)
            return platform::Status::failure("Reached the end of the file.");
        std::copy_n(content_.begin() + static_cast<std::ptrdiff_t>(offset), buffer.size(), buffer.begin());
        return platform::Status::success();
    }

private:
    std::string content_;
};

}  // namespace

class FakeNewFile : public platform::NewFile {
public:
    FakeNewFile(FakeOs& os, std::string path) : os_(os), path_(std::move(path)) {}
    ~FakeNewFile() override {
        if (!finished_) os_.remove(path_);
    }
    FakeNewFile(const FakeNewFile&) = delete;
    FakeNewFile& operator=(const FakeNewFile&) = delete;

    platform::Status write(std::string_view bytes) override {
        std::lock_guard hold(os_.lock_);
        FakeOs::Node* node = os_.find(path_);
        if (!node) return platform::Status::failure("The handle is invalid.");
        node->content += bytes;
        node->size = node->content.size();
        return platform::Status::success();
    }

    platform::Status finish(std::uint64_t modified, bool) override {
        std::lock_guard hold(os_.lock_);
        FakeOs::Node* node = os_.find(path_);
        if (!node) return platform::Status::failure("The handle is invalid.");
        if (modified != 0) node->modified = modified;
        finished_ = true;
        return platform::Status::success();
    }

private:
    FakeOs& os_;
    std::string path_;
    bool finished_ = false;
};

platform::OpenedFile FakeOs::openReader(std::string_view path) {
    auto content = contentOf(path);
    if (!content) return {nullptr, "The system cannot find the file specified."};
    return {std::make_unique<FakeReader>(std::move(*content)), {}};
}

platform::CreatedFile FakeOs::createNewFile(std::string_view path) {
    std::lock_guard hold(lock_);
    if (isUnwritable(path)) return {nullptr, platform::Status::failure("Access is denied.", true)};
    std::string leaf;
    Node* parent = parentFor(path, &leaf, false);
    if (!parent) return {nullptr, platform::Status::failure("The system cannot find the path specified.")};
    auto& child = parent->children[lowered(leaf)];
    if (child) return {nullptr, platform::Status::failure("The file exists.")};
    child = std::make_unique<Node>();
    child->name = leaf;
    child->attributes = platform::kAttrArchive;
    return {std::make_unique<FakeNewFile>(*this, std::string(path)), platform::Status::success()};
}

platform::Status FakeOs::moveWithoutReplacing(std::string_view from, std::string_view to) {
    return move(from, to, false);
}

std::uint64_t FakeOs::localToUtc(std::uint64_t localTicks) {
    constexpr std::int64_t kTicksPerMinute = 600'000'000;
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(localTicks) - clock.utcOffsetMinutes * kTicksPerMinute);
}

}  // namespace fake

