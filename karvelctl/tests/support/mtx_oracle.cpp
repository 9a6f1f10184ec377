// SPDX-License-Identifier: MIT
#include "mtx_oracle.h"

#include <sstream>

namespace karvel::ctl::test {

void writeAddressFile(const std::string& path, const std::string& address) {
    test_support::writeFile(path, address + "  # the changer mtx reaches through the SG_IO shim\n");
}

Environment shimEnvironment(const std::string& path, const std::string& address) {
    // Under the sanitizers the shim needs their runtimes loaded first; mtx's own leaks are
    // none of our business.
    const std::string preload = std::string(KARVEL_SANITIZER_PRELOAD) + KARVEL_SG_SHIM;
    return {{"LD_PRELOAD", preload},
            {"KARVEL_SG_SHIM_DEVICE", path},
            {"KARVEL_SG_SHIM_ADDRESS", address},
            {"ASAN_OPTIONS", "detect_leaks=0"}};
}

std::vector<std::string> mtxArgv(const std::string& device, const std::vector<std::string>& words) {
    std::vector<std::string> argv = {MTX_PROGRAM, "-f", device};
    argv.insert(argv.end(), words.begin(), words.end());
    return argv;
}

std::string withoutDecodedLines(const std::string& err) {
    std::istringstream lines(err);
    std::string line;
    std::string kept;
    while (std::getline(lines, line))
        if (!line.starts_with("  "))
            kept += line + '\n';
    return kept;
}

}  // namespace karvel::ctl::test
