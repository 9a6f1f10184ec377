// SPDX-License-Identifier: MIT
// karvelctl: the changer from the command line, for scripts and backup software.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "karvelctl.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return karvel::ctl::runKarvelctl(args, std::cout, std::cerr, isatty(STDOUT_FILENO) == 1);
}
