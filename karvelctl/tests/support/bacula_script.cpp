// SPDX-License-Identifier: MIT
#include "bacula_script.h"

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <stdexcept>

namespace karvel::ctl::test {

namespace {

using test_support::writeFile;

std::string readShipped(const std::string& path) {
    if (!std::filesystem::is_regular_file(path))
        throw std::runtime_error("cannot read " + path + " (Bacula's script, unpacked by unpack_backup_scripts.sh)");
    return test_support::readFile(path);
}

}  // namespace

void installBaculaScript(const std::string& directory, const std::string& program) {
    const std::string shipped = std::string(KARVEL_BACKUP_SCRIPTS) + "/bacula/etc/bacula/scripts/";
    std::string script = readShipped(shipped + "mtx-changer");
    script = std::regex_replace(script, std::regex("\nMTX=[^\n]*"), "\nMTX=" + program);
    script = std::regex_replace(script, std::regex("/etc/bacula/scripts/mtx-changer.conf"),
                                directory + "/mtx-changer.conf");
    script = std::regex_replace(script, std::regex("/var/lib/bacula"), directory);
    writeFile(directory + "/mtx-changer", script, true);
    writeFile(directory + "/mtx-changer.conf", readShipped(shipped + "mtx-changer.conf"));
    std::filesystem::create_directories(directory + "/bin");
    writeFile(directory + "/bin/mt", "#!/bin/sh\necho drive status\n", true);
}

std::vector<std::string> baculaScriptArgv(const std::string& directory, const std::string& device,
                                          const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"/bin/sh", directory + "/mtx-changer", device};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

Environment withBaculaPath(const std::string& directory, Environment env) {
    const char* path = std::getenv("PATH");
    env.emplace_back("PATH", directory + "/bin:" + (path ? path : "/usr/bin:/bin"));
    return env;
}

}  // namespace karvel::ctl::test
