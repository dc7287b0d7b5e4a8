// The rule every entry name passes before anything is created for it, and
// the names restored files take.
#pragma once

#include "restore/archive.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace restore {

// Why an entry name (UTF-8, '/' or '\' between levels) must not be
// restored, or nullopt when it may. Refused: text that is not UTF-8; an
// absolute name (/x, \\server\x, C:/x); a ".." level; an empty level; a
// ':' (a drive or an alternate data stream) or another character Windows
// forbids in names; a Windows device name (CON, PRN, AUX, NUL, COM1-COM9,
// LPT1-LPT9), with or without an extension; a level ending in a dot or a
// blank, which Windows would silently drop.
std::optional<std::string> RefusalOf(std::string_view name);

// The levels of a name that passed RefusalOf.
std::vector<std::string> LevelsOf(std::string_view name);

// "report (2026-03).docx": the name a restored copy takes beside a
// different file, after its archive's month (or year); from the second
// copy on "report (2026-03) (2).docx".
std::string KeepBothName(std::string_view fileName, const Period& period, int copy = 1);

// Whether an entry's key (ArchiveEntry::key) matches a pattern upper-cased
// the same way: '*' any run of characters, '?' one character, '/' and '\'
// alike. A pattern without a separator matches the name's last level, one
// with a separator the whole name ("Reports/*" everything under Reports).
bool MatchesPattern(std::string_view key, std::string_view pattern);

// A name under a folder, as a Windows path.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace restore
