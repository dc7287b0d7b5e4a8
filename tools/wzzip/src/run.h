// The program as a whole: options in, archive and exit code out.
#pragma once

#include <string>
#include <vector>

namespace wz {

inline constexpr int kExitOk = 0;
inline constexpr int kExitNothingToDo = 12;
inline constexpr int kExitNoMatch = 13;
inline constexpr int kExitWriteError = 14;
inline constexpr int kExitOutOfMemory = 15;
inline constexpr int kExitBadCommandLine = 16;
inline constexpr int kExitSomeSkipped = 18;

// Each line must reach its reader at once: a caller follows the progress
// lines while the run goes on.
class Console {
public:
    virtual ~Console() = default;
    virtual void out(const std::string& line) = 0;
    virtual void err(const std::string& line) = 0;
};

// args excludes the program name.
int run(const std::vector<std::string>& args, Console& console);

}  // namespace wz
