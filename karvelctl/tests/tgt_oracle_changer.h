// SPDX-License-Identifier: MIT
// tgt's changer for comparisons of karvelctl with mtx: each run gets a fresh changer (discs back
// in their slots) prepared by the same karvelctl commands, named by an address file that is
// also the SG_IO shim's placeholder device, in a scratch directory of the test's own that is
// karvelctl's HOME and XDG_CONFIG_HOME (no real profile is read). Needs root for tgtd.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ctl_process.h"
#include "tgt_changer.h"

namespace karvel::ctl::test {

class TgtOracleChanger {
public:
    using Words = std::vector<std::string>;

    TgtOracleChanger();
    ~TgtOracleChanger();
    TgtOracleChanger(const TgtOracleChanger&) = delete;
    TgtOracleChanger& operator=(const TgtOracleChanger&) = delete;

    // Starts a fresh changer and runs each of before on it with karvelctl (the test fails when
    // one does not succeed).
    void renew(const std::vector<Words>& before);

    // Runs karvelctl -f device() words, with this changer's environment plus extra.
    ProcessResult karvelctl(const Words& words, const Environment& extra = {}) const;
    // Returns the environment for a program run on this changer (the scratch HOME) plus extra.
    Environment environment(const Environment& extra = {}) const;

    // The address file and shim placeholder, and the changer's H:T:L in it.
    std::string device() const { return m_directory + "/changer"; }
    static std::string address();
    const std::string& directory() const { return m_directory; }

private:
    std::string m_directory;
    std::unique_ptr<karvel::test::TgtChanger> m_changer;
};

}  // namespace karvel::ctl::test
