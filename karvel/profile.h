// SPDX-License-Identifier: MIT
// The program's private profile: a Windows-compatible INI file, $XDG_CONFIG_HOME/<name>.INI
// (default ~/.config/<name>.INI), <name> being the application name. Section and key names
// compare without case; lines end in CR LF or LF.
#pragma once

#include <cstdint>
#include <optional>

#include <QString>

// The largest profile read; a real one is a few hundred bytes.
inline constexpr uint64_t kProfileLimit = 1u << 20;

// Returns the profile file of the running program.
QString profilePath();

class PrivateProfile {
public:
    explicit PrivateProfile(QString path) : m_path(std::move(path)) {}

    // Returns key's value in section as the platform reads an integer (optional sign, leading
    // digits); a missing key, or a value that does not start with a number, gives fallback.
    int32_t getInt(const QString& section, const QString& key, int32_t fallback) const;
    // Returns key's value in section with blanks around it removed, or nothing when absent.
    std::optional<QString> getString(const QString& section, const QString& key) const;

    // Sets key in section to value, keeping every other section, key and comment; the file is
    // replaced atomically. Returns false when it cannot be written, and when what is at the
    // path is not a profile it may read (a directory, a FIFO, a file over kProfileLimit).
    bool writeInt(const QString& section, const QString& key, int32_t value);
    bool writeString(const QString& section, const QString& key, const QString& value);

    const QString& path() const { return m_path; }

private:
    QString m_path;
};

// Returns the integer the platform reads from a profile value, or nothing when text does
// not start (after blanks) with an optional sign and a digit.
std::optional<int32_t> profileInteger(const QString& text);
