// SPDX-License-Identifier: MIT
// The child-process runner and the scratch folder every test relies on: what a program wrote
// and how it ended come back apart and intact, and a scratch folder leaves nothing behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "child_process.h"
#include "scratch_dir.h"

namespace karvel::test_support {
namespace {

TEST(ChildProcess, ReturnsWhatTheProgramWroteAndHowItEnded) {
    ScratchDir dir;
    using Expected = std::tuple<int, std::string, std::string>;  // exit code, out, err
    struct Case {
        const char* name;
        std::vector<std::string> argv;
        Environment env;
        ProcessOptions options;
        Expected expected;
    };
    const std::vector<Case> cases = {
        {"streams apart", {"/bin/sh", "-c", "printf out; printf err >&2; exit 3"}, {}, {}, {3, "out", "err"}},
        {"streams merged in order",
         {"/bin/sh", "-c", "printf 1; printf 2 >&2; printf 3"},
         {},
         ProcessOptions{}.merged(),
         {0, "123", ""}},
        {"an added variable replaces the caller's",
         {"/bin/sh", "-c", "printf %s \"$HOME\""},
         {{"HOME", "/nowhere"}},
         {},
         {0, "/nowhere", ""}},
        {"in the working folder", {"/bin/sh", "-c", "pwd"}, {}, ProcessOptions{}.inFolder(dir.root()), {0, dir.root() + "\n", ""}},
        {"found on PATH", {"sh", "-c", "exit 0"}, {}, {}, {0, "", ""}},
        {"stdin is empty", {"/bin/sh", "-c", "cat; printf done"}, {}, {}, {0, "done", ""}},
        {"ended by a signal", {"/bin/sh", "-c", "kill -9 $$"}, {}, {}, {128 + 9, "", ""}},
        {"not started", {dir.path("absent")}, {}, {}, {kNotStarted, "", ""}},
        {"a missing working folder", {"/bin/sh", "-c", "exit 0"}, {}, ProcessOptions{}.inFolder(dir.path("absent")),
         {kNotStarted, "", ""}},
        {"stdout on a terminal, bytes as written",
         {"/bin/sh", "-c", "test -t 1 && printf 'a\\nb'; test -t 2 || printf piped >&2"},
         {},
         ProcessOptions{}.onTerminal(),
         {0, "a\nb", "piped"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProcessResult result = runProcess(c.argv, c.env, c.options);
        EXPECT_EQ(Expected(result.exitCode, result.out, result.err), c.expected);
    }
}

TEST(ScratchDir, HoldsFilesAndIsRemovedWithThem) {
    std::string root;
    {
        ScratchDir dir("karvel-support");
        root = dir.root();
        EXPECT_TRUE(std::filesystem::is_directory(root));
        EXPECT_EQ(std::filesystem::path(root).filename().string().rfind("karvel-support-", 0), 0u);
        const std::string text = dir.write("b.txt", std::string("x\0y\r\n", 5));
        EXPECT_EQ(readFile(text), std::string("x\0y\r\n", 5));
        EXPECT_EQ(readBytes(dir.write("c.bin", std::vector<uint8_t>{0, 255})), (std::vector<uint8_t>{0, 255}));
        EXPECT_EQ(readFile(dir.path("absent")), "");
    }
    EXPECT_FALSE(std::filesystem::exists(root));
}

TEST(ScratchDir, WritesScriptsRunnableAndReportsWhatItCannotWrite) {
    namespace fs = std::filesystem;
    ScratchDir dir;
    const std::string script = dir.path("run.sh");
    writeFile(script, "#!/bin/sh\necho ran\n", true);
    EXPECT_EQ(runProcess({script}).out, "ran\n");
    const std::string plain = dir.write("plain.txt", "x");
    EXPECT_EQ(fs::status(plain).permissions() & fs::perms::owner_exec, fs::perms::none);
    EXPECT_THROW(writeFile(dir.path("absent/file"), "x"), std::runtime_error);
}

}  // namespace
}  // namespace karvel::test_support
