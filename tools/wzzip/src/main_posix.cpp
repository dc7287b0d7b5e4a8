#include <cstdio>
#include <string>
#include <vector>

#include "run.h"

namespace {

class StdConsole : public wz::Console {
public:
    void out(const std::string& line) override { std::fprintf(stdout, "%s\n", line.c_str()); }
    void err(const std::string& line) override { std::fprintf(stderr, "%s\n", line.c_str()); }
};

}  // namespace

int main(int argc, char** argv) {
    StdConsole console;
    return wz::run(std::vector<std::string>(argv + 1, argv + argc), console);
}
