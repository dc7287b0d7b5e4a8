// Composition of archive and source paths from the window's inputs.
#pragma once

#include "platform/os.h"

#include <string>
#include <string_view>

namespace naming {

// The folder text with "\" appended unless it already ends in one; an empty
// text gives "\" alone.
std::string QualifyPath(std::string_view path);

// The text before its first NUL character, or the whole text.
std::string TrimNull(std::string_view text);

// First letter of each word upper case, every other letter lower case, as
// Windows cases them. Space, tab, LF, VT, FF, CR and NUL separate words.
std::string ProperCase(platform::Os& os, std::string_view text);

// The first character of the Windows directory, blanks trimmed.
std::string SystemDriveLetter(platform::Os& os);

// Where the user profiles are: "Documents and Settings" on the system drive
// while that is a real folder (not a junction or link), otherwise the
// system's own profiles folder (such as C:\Users).
enum class ProfilesKind { DocumentsAndSettings, System };
struct ProfilesFolder {
    std::string path;  // with a trailing backslash
    ProfilesKind kind = ProfilesKind::DocumentsAndSettings;
};
ProfilesFolder FindProfilesFolder(platform::Os& os);

// The documents folder of the user's profile, without a trailing backslash:
// "<profile>\My Documents" when that is a real folder, otherwise
// "<profile>\Documents" (on "Documents and Settings" only when that exists).
// For the logged-on user on the system's profiles folder it is the shell's
// Documents folder, wherever that has been moved.
std::string UserDocumentsFolder(platform::Os& os, std::string_view user);

// What the window shows. Each is empty when its stem or source is empty.
struct DisplayInputs {
    std::string destination;  // txtDefaultPath
    std::string year;         // cmbFileNameYear text
    std::string month;        // cmbFileNameMonth text (empty while versioning is off)
};
std::string DisplayArchivePath(const DisplayInputs& in, std::string_view stem);
// The same without the emptiness test.
std::string ArchivePathAlways(const DisplayInputs& in, std::string_view stem);
std::string DisplayUserFiles(platform::Os& os, std::string_view user);
std::string DisplaySpecificFiles(std::string_view source);

// What a backup job hands to the archiver.
struct JobPaths {
    std::string archivePath;
    std::string source;
};
// The user job: qualified destination, proper-cased user, month only while
// versioning is on; source is the user's documents folder with "\*.*".
JobPaths UserJobPaths(platform::Os& os, const DisplayInputs& in, bool versioningOn, std::string_view user);
// The specific-directory job: destination with "\" appended in every case,
// proper-cased label, the month list's text as it stands; source is the
// qualified source folder without a pattern.
JobPaths SpecificJobPaths(platform::Os& os, const DisplayInputs& in, std::string_view label,
                          std::string_view source);

}  // namespace naming
