// qivstereo: answers the usage and refused command lines itself, linking neither Qt nor OpenCV so
// that it starts in a few milliseconds, and hands batch runs to qivstereo-batch and windowed runs
// to qivstereo-gui.
#include "app/console_route.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// A program beside this one (the build tree) or in ../libexec (an installed copy).
std::string Companion(const char* name) {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) {
        return name;
    }
    std::string dir(self, static_cast<std::size_t>(n));
    dir.erase(dir.rfind('/') + 1);
    for (const std::string& candidate : {std::string(name), "../libexec/" + std::string(name)}) {
        std::string path = dir + candidate;
        if (access(path.c_str(), X_OK) == 0) {
            return path;
        }
    }
    return dir + name;
}

int Start(const char* name, char** argv) {
    const std::string program = Companion(name);
    execv(program.c_str(), argv);
    std::fprintf(stderr, "qivstereo: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    int status = 0;
    switch (RouteCommandLine(argc, argv, &status)) {
    case ROUTE_ANSWERED:
        return status;
    case ROUTE_BATCH:
        return Start("qivstereo-batch", argv);
    case ROUTE_WINDOWED:
        break;
    }
    return Start("qivstereo-gui", argv);
}
