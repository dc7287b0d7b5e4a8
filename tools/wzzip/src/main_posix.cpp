#include <cstdio>
#include <string>
#include <vector>

#include "run.h"

namespace {

class StdConsole : public wz::Console {
public:
    void out(const std::string& line) override { write(stdout, line); }
    void err(const std::string& line) override { write(stderr, line); }

private:
    // A file or pipe is block-buffered; the reader follows line by line.
    static void write(std::FILE* stream, const std::string& line) {
        std::fprintf(stream, "%s\n", line.c_str());
        std::fflush(stream);
    }
};

}  // namespace

int main(int argc, char** argv) {
    StdConsole console;
    return wz::run(std::vector<std::string>(argv + 1, argv + argc), console);
}
