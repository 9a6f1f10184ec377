// SPDX-License-Identifier: MIT
// GetAspi32Info queries the layer once per process and complains on every call while the
// layer is not ready. The cache lives for the process, so each case runs in a child process
// forked before this executable has touched it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include <karvel/nevsel.h>
#include "scripted_aspi.h"

namespace karvel::test {
namespace {

constexpr char kNotReady[] = "ASPI unable to initialize! No ASPI service!";

enum class Hook { none, recording, throwing };

struct Observed {
    uint32_t first = 0, second = 0;
    int queries = 0;
    int boxes = 0;
    char lastText[64] = {};
    char lastCaption[16] = {};
    char lastDetail[96] = {};
};

Observed observed;  // the child's record of what its hook saw

void recordingHook(const char* text, const char* caption, const char* detail) {
    ++observed.boxes;
    std::strncpy(observed.lastText, text, sizeof observed.lastText - 1);
    std::strncpy(observed.lastCaption, caption, sizeof observed.lastCaption - 1);
    std::strncpy(observed.lastDetail, detail, sizeof observed.lastDetail - 1);
}

void throwingHook(const char*, const char*, const char*) { throw std::runtime_error("box failed"); }

struct SupportCase {
    const char* name;
    uint32_t supportValue;
    bool queryThrows;
    Hook hook;
    uint32_t first, second;
    int boxes;
    std::string stderrText;
    std::string layerFault = "";  // the layer's reason, which the box carries as its detail
};

void PrintTo(const SupportCase& c, std::ostream* os) { *os << c.name; }

const std::string kTwoLines = std::string(kNotReady) + "\n" + kNotReady + "\n";

const SupportCase kCases[] = {
    {"ReadyIsQueriedOnce", 0x0101, false, Hook::recording, 0x0101, 0x0101, 0, ""},
    {"ReadyValueComesBackWhole", 0x12340103, false, Hook::none, 0x12340103, 0x12340103, 0, ""},
    {"NotReadyShowsTheBoxOnEveryCall", 0xE400, false, Hook::recording, 0xE400, 0xE400, 2, ""},
    {"PendingStatusIsNotReady", 0x0001, false, Hook::recording, 0x0001, 0x0001, 2, ""},
    {"NotReadyWithoutHookWritesEveryCallToStderr", 0xE400, false, Hook::none, 0xE400, 0xE400, 0, kTwoLines},
    // The cache is marked filled before the query, so a throwing query is not repeated
    // and later calls see 0: not ready, no adapters.
    {"ThrowingQueryIsCaughtAndNotRepeated", 0x0101, true, Hook::recording, 0xFFFF, 0, 1, ""},
    {"ThrowingHookIsCaught", 0xE400, false, Hook::throwing, 0xFFFF, 0xFFFF, 0, ""},
    {"NotReadyBoxCarriesTheLayersReason", 0xE400, false, Hook::recording, 0xE400, 0xE400, 2, "",
     "wnaspi32: /home/op/.config/wnaspi32.conf:1: unknown transport 'bogus'"},
};

struct ChildOutcome {
    Observed observed;
    std::string stderrText;
    int exitCode = -1;
};

std::string readAll(int fd) {
    std::string text;
    char chunk[256];
    ssize_t got;
    while ((got = read(fd, chunk, sizeof chunk)) > 0) text.append(chunk, static_cast<size_t>(got));
    return text;
}

void runChild(const SupportCase& c, int resultFd, int stderrFd) {
    dup2(stderrFd, STDERR_FILENO);
    {
        ScriptedAspi aspi;
        aspi.setSupportValue(c.supportValue);
        if (c.queryThrows) aspi.throwOnSupportQuery();
        aspi.setLayerFault(c.layerFault);
        NevselSetMessageBoxHook(c.hook == Hook::recording  ? recordingHook
                                : c.hook == Hook::throwing ? throwingHook
                                                           : nullptr);
        observed.first = GetAspi32Info();
        observed.second = GetAspi32Info();
        observed.queries = aspi.supportQueries();
    }
    ssize_t written = write(resultFd, &observed, sizeof observed);
    _exit(written == sizeof observed ? 0 : 1);
}

ChildOutcome inFreshProcess(const SupportCase& c) {
    int result[2], errors[2];
    if (pipe(result) != 0 || pipe(errors) != 0) throw std::runtime_error("pipe");
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) {
        close(result[0]);
        close(errors[0]);
        runChild(c, result[1], errors[1]);
    }
    close(result[1]);
    close(errors[1]);
    ChildOutcome outcome;
    std::string bytes = readAll(result[0]);
    outcome.stderrText = readAll(errors[0]);
    close(result[0]);
    close(errors[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (bytes.size() == sizeof outcome.observed) std::memcpy(&outcome.observed, bytes.data(), bytes.size());
    return outcome;
}

class SupportInfo : public ::testing::TestWithParam<SupportCase> {};

TEST_P(SupportInfo, CachesTheValueAndReportsANotReadyLayer) {
    const SupportCase& c = GetParam();
    ChildOutcome outcome = inFreshProcess(c);
    ASSERT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.observed.first, c.first);
    EXPECT_EQ(outcome.observed.second, c.second);
    EXPECT_EQ(outcome.observed.queries, 1);
    EXPECT_EQ(outcome.observed.boxes, c.boxes);
    if (c.boxes > 0) {
        EXPECT_STREQ(outcome.observed.lastText, kNotReady);
        EXPECT_STREQ(outcome.observed.lastCaption, "Nevsel");
        EXPECT_EQ(outcome.observed.lastDetail, c.layerFault);
    }
    EXPECT_EQ(outcome.stderrText, c.stderrText);
}

INSTANTIATE_TEST_SUITE_P(GetAspi32Info, SupportInfo, ::testing::ValuesIn(kCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
}  // namespace karvel::test
