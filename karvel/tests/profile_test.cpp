// SPDX-License-Identifier: MIT
// The program's profile: where it lives, and the saved target start-up reads from it (the
// changer model's tests cover the INI reader and writer).
#include <optional>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include <QFile>
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
