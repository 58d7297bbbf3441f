// The process command line, recorded by main() for GetCommandLineW and WinMain.
#pragma once

#include <string>

namespace platform {

// Records the program's arguments (UTF-8, as main() receives them).
void SetProcessArguments(int argc, char** argv);
// The arguments after the program name, joined for WinMain's lpCmdLine (UTF-8).
std::string ProcessArgumentsNarrow();

} // namespace platform
