// qivstereo: batch mode and the usage answer in this process, which links no Qt, so that they
// start fast and need no display; the windowed program, qivstereo-gui, takes its place
// otherwise.
#include "platform/win32_user.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// qivstereo-gui beside this program (the build tree) or in ../libexec (an installed copy).
std::string WindowedProgram() {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) {
        return "qivstereo-gui";
    }
    std::string dir(self, static_cast<std::size_t>(n));
    dir.erase(dir.rfind('/') + 1);
    for (const char* candidate : {"qivstereo-gui", "../libexec/qivstereo-gui"}) {
        std::string path = dir + candidate;
        if (access(path.c_str(), X_OK) == 0) {
            return path;
        }
    }
    return dir + "qivstereo-gui";
}

} // namespace

int main(int argc, char** argv) {
    const int result = ConsoleMain(argc, argv);
    if (result >= 0) {
        return result;
    }
    const std::string program = WindowedProgram();
    execv(program.c_str(), argv);
    std::fprintf(stderr, "qivstereo: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return 1;
}
