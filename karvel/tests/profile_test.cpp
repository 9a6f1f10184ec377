// SPDX-License-Identifier: MIT
// The private profile: reading integers as the platform does, and writes that keep the rest
// of the file.
#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "changer_app.h"
#include "profile.h"

namespace karvel::test {
namespace {

QString writeFile(const QTemporaryDir& dir, const QByteArray& text) {
    const QString path = dir.filePath(QStringLiteral("karvel.INI"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    return path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TEST(Profile, IntegersAreReadAsThePlatformReadsThem) {
    struct Case {
        QByteArray file;
        const char* section;
        const char* key;
        int32_t expected;
    };
    const std::vector<Case> cases = {
        {"[JukeBox Default]\r\nHost=2\r\nScsiId=5\r\n", "JukeBox Default", "ScsiId", 5},
        {"[JukeBox Default]\nHost=2\n", "JukeBox Default", "Host", 2},
        {"[jukebox default]\nhost=3\n", "JukeBox Default", "Host", 3},
        {"  [ JukeBox Default ]  \n  Host  =  4  \n", "JukeBox Default", "Host", 4},
        {"[JukeBox Default]\nHost=257\n", "JukeBox Default", "Host", 257},
        {"[JukeBox Default]\nHost=-1\n", "JukeBox Default", "Host", -1},
        {"[JukeBox Default]\nHost=12abc\n", "JukeBox Default", "Host", 12},
        {"[JukeBox Default]\nHost=abc\n", "JukeBox Default", "Host", 99},
        {"[JukeBox Default]\nHost=\n", "JukeBox Default", "Host", 99},
        {"[JukeBox Default]\nHost=\"6\"\n", "JukeBox Default", "Host", 6},
        {"[JukeBox Default]\n;Host=7\n", "JukeBox Default", "Host", 99},
        {"[Other]\nHost=8\n[JukeBox Default]\nLun=1\n", "JukeBox Default", "Host", 99},
        {"[JukeBox Default]\nHost=1\nHost=2\n", "JukeBox Default", "Host", 1},
        {"Host=9\n", "JukeBox Default", "Host", 99},
        {"", "JukeBox Default", "Host", 99},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const PrivateProfile profile(writeFile(dir, c.file));
        EXPECT_EQ(profile.getInt(QString::fromUtf8(c.section), QString::fromUtf8(c.key), 99), c.expected)
            << c.file.toStdString();
    }
    EXPECT_EQ(PrivateProfile(QStringLiteral("/nonexistent/karvel.INI")).getInt(QStringLiteral("a"), QStringLiteral("b"), 7), 7);
}

TEST(Profile, WritesKeepEveryOtherSectionKeyAndComment) {
    struct Case {
        QByteArray before;
        const char* key;
        int32_t value;
        QByteArray after;
    };
    const std::vector<Case> cases = {
        {"; settings\r\n[Other]\r\nX=1\r\n\r\n[JukeBox Default]\r\nhost=1\r\nLun=0\r\n", "Host", 300,
         "; settings\r\n[Other]\r\nX=1\r\n\r\n[JukeBox Default]\r\nhost=300\r\nLun=0\r\n"},
        {"[JukeBox Default]\nHost=1\n\n[Other]\nX=1\n", "ScsiId", 4,
         "[JukeBox Default]\nHost=1\nScsiId=4\n\n[Other]\nX=1\n"},
        {"[Other]\nX=1\n", "Lun", -1, "[Other]\nX=1\n\n[JukeBox Default]\nLun=-1\n"},
        {"", "Host", 2, "[JukeBox Default]\r\nHost=2\r\n"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString path = writeFile(dir, c.before);
        PrivateProfile profile(path);
        ASSERT_TRUE(profile.writeInt(QStringLiteral("JukeBox Default"), QString::fromUtf8(c.key), c.value));
        EXPECT_EQ(readFile(path), c.after);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("karvel.INI")});
    }
}

TEST(Profile, WritingCreatesTheFileAndItsDirectory) {
    QTemporaryDir dir;
    PrivateProfile profile(dir.filePath(QStringLiteral("config/karvel.INI")));
    ASSERT_TRUE(profile.writeInt(QStringLiteral("JukeBox Default"), QStringLiteral("Host"), 3));
    EXPECT_EQ(profile.getInt(QStringLiteral("JukeBox Default"), QStringLiteral("Host"), 0), 3);
}

TEST(Profile, WhatIsNoProfileIsReportedOnceAndNeverReplaced) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.INI"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString directory = dir.filePath(QStringLiteral("dir.INI"));
    ASSERT_TRUE(QDir().mkpath(directory));
    const QString big = dir.filePath(QStringLiteral("big.INI"));
    {
        QFile file(big);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(static_cast<qint64>(kProfileLimit) + 1));
    }
    const std::tuple<QString, std::string> cases[] = {
        {fifo, "is not a regular file"},
        {directory, "is a directory"},
        {big, "is 1048577 bytes, more than the limit of 1048576 bytes"},
    };
    for (const auto& [path, reason] : cases) {
        testing::internal::CaptureStderr();
        PrivateProfile profile(path);
        EXPECT_EQ(profile.getInt(QStringLiteral("JukeBox Default"), QStringLiteral("Host"), 7), 7);
        EXPECT_FALSE(profile.writeInt(QStringLiteral("JukeBox Default"), QStringLiteral("Host"), 3));
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("profile " + path.toStdString() + ": " + reason + "\n"), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
    EXPECT_TRUE(QFileInfo(fifo).isSymLink() || !QFileInfo(fifo).isFile());  // still the FIFO
    EXPECT_TRUE(QFileInfo(directory).isDir());
    EXPECT_EQ(QFileInfo(big).size(), static_cast<qint64>(kProfileLimit) + 1);
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : m_name(name), m_old(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name)) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_had;
};

TEST(Profile, LivesInTheConfigHomeNamedAfterTheProgram) {
    QTemporaryDir dir;
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", dir.path().toUtf8());
        EXPECT_EQ(profilePath(), dir.filePath(QStringLiteral("karvel.INI")));
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", QByteArray());
        ScopedEnv home("HOME", dir.path().toUtf8());
        EXPECT_EQ(profilePath(), dir.path() + QStringLiteral("/.config/karvel.INI"));
    }
}

TEST(Profile, SavedTargetKeepsTheLow8BitsOfEachValue) {
    const std::vector<std::pair<QByteArray, std::tuple<int, int, int>>> cases = {
        {"[JukeBox Default]\nHost=257\nScsiId=260\nLun=-1\n", {1, 4, 255}},
        {"[JukeBox Default]\nHost=1\n", {1, 0, 0}},
        {"", {0, 0, 0}},
    };
    for (const auto& [text, expected] : cases) {
        QTemporaryDir dir;
        writeFile(dir, text);
        ScopedEnv xdg("XDG_CONFIG_HOME", dir.path().toUtf8());
        const TargetAddress t = readSavedTarget();
        EXPECT_EQ(std::make_tuple(int{t.hostAdapter}, int{t.targetId}, int{t.lun}), expected);
    }
}

}  // namespace
}  // namespace karvel::test
