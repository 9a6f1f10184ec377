// SPDX-License-Identifier: MIT
// A profile of the program's own for one test.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace karvel::test {

// Points the program's profile into a directory of its own while it lives.
class ScratchProfile {
public:
    ScratchProfile() : m_old(qgetenv("XDG_CONFIG_HOME")), m_hadOld(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
    }
    ~ScratchProfile() {
        if (m_hadOld)
            qputenv("XDG_CONFIG_HOME", m_old);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    ScratchProfile(const ScratchProfile&) = delete;
    ScratchProfile& operator=(const ScratchProfile&) = delete;

    QString directory() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
    bool m_hadOld;
};

}  // namespace karvel::test
