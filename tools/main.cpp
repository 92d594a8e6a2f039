// tarvex: the command-line front door of the camera library.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#define TARVEX_ISATTY(stream) _isatty(_fileno(stream))
#else
#include <unistd.h>
#define TARVEX_ISATTY(stream) isatty(fileno(stream))
#endif

#include "interrupt.h"
#include "tool.h"

int main(int argc, char** argv) {
    tarvex_tool::installInterruptHandler();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    int status = tarvex_tool::runTool(arguments, {std::cout, std::cerr, TARVEX_ISATTY(stderr) != 0});
    std::cout.flush();
    return status;
}
