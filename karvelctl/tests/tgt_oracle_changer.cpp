// SPDX-License-Identifier: MIT
#include "tgt_oracle_changer.h"

#include <gtest/gtest.h>

#include "mtx_oracle.h"

namespace karvel::ctl::test {

TgtOracleChanger::TgtOracleChanger() : m_directory(makeScratchDirectory()) {}

TgtOracleChanger::~TgtOracleChanger() {
    m_changer.reset();
    removeTree(m_directory);
}

std::string TgtOracleChanger::address() {
    return "0:0:" + std::to_string(karvel::test::TgtChanger::kChangerLun);
}

void TgtOracleChanger::renew(const std::vector<Words>& before) {
    m_changer.reset();  // only one may live at a time
    m_changer = std::make_unique<karvel::test::TgtChanger>();
    writeAddressFile(device(), address());
    for (const Words& setup : before) {
        const ProcessResult prepared = karvelctl(setup);
        EXPECT_EQ(prepared.exitCode, 0) << prepared.err;
    }
}

Environment TgtOracleChanger::environment(const Environment& extra) const {
    Environment env = {{"XDG_CONFIG_HOME", m_directory}, {"HOME", m_directory}};
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

ProcessResult TgtOracleChanger::karvelctl(const Words& words, const Environment& extra) const {
    Words argv = {KARVELCTL_PROGRAM, "-f", device()};
    argv.insert(argv.end(), words.begin(), words.end());
    return runProcess(argv, environment(extra));
}

}  // namespace karvel::ctl::test
