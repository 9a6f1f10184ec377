// SPDX-License-Identifier: MIT
#include "profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <cstdio>
#include <set>
#include <string>

#include "regular_file.h"
#include "ui/application_name.h"

QString profilePath() {
    QString dir = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (dir.isEmpty() || !QDir::isAbsolutePath(dir))
        dir = QDir::homePath() + QStringLiteral("/.config");
    return dir + QLatin1Char('/') + karvel::ui::applicationName() + QStringLiteral(".INI");
}

namespace {

// The file as lines without their ends, and the line end it uses.
struct IniLines {
    QStringList lines;
    QString eol = QStringLiteral("\r\n");  // a new file gets the platform's own
    bool usable = true;  // false: something other than a profile is there, not to be replaced
};

// Reports a profile that is there but cannot be used, once per path and fault.
void reportUnusable(const karvel::FileContents& read) {
    static std::set<std::string> reported;
    if (reported.insert(read.message).second)
        std::fprintf(stderr, "%s: profile %s\n", qPrintable(karvel::ui::applicationName()), read.message.c_str());
}

IniLines readLines(const QString& path) {
    IniLines ini;
    // Opened without waiting and read within a limit: a FIFO or /dev/zero named as the profile
    // must not hang or fill the program.
    const karvel::FileContents read = karvel::readRegularFile(QFile::encodeName(path).toStdString(), kProfileLimit);
    if (!read.ok()) {
        ini.usable = read.fault == karvel::FileFault::missing;
        if (!ini.usable)
            reportUnusable(read);
        return ini;
    }
    const QString text = QString::fromUtf8(read.bytes.data(), static_cast<qsizetype>(read.bytes.size()));
    if (!text.isEmpty() && !text.contains(QStringLiteral("\r\n")))
        ini.eol = QStringLiteral("\n");
    ini.lines = text.split(QLatin1Char('\n'));
    for (QString& line : ini.lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    if (!ini.lines.isEmpty() && ini.lines.back().isEmpty())
        ini.lines.removeLast();  // the end of the last line, not a line of its own
    return ini;
}

// Returns the section a header line names, or nothing when the line is not a header.
std::optional<QString> sectionOf(const QString& line) {
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return std::nullopt;
    qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        close = t.size();
    return t.mid(1, close - 1).trimmed();
}

// Returns the key of a "key=value" line, or nothing for comments, headers and other lines.
std::optional<QString> keyOf(const QString& line) {
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq < 0)
        return std::nullopt;
    return t.left(eq).trimmed();
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where a section's lines are: its header index and the index after its last line.
struct SectionSpan {
    qsizetype header = -1;
    qsizetype end = -1;
};

SectionSpan findSection(const QStringList& lines, const QString& section) {
    SectionSpan span;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const std::optional<QString> name = sectionOf(lines[i]);
        if (!name)
            continue;
        if (span.header >= 0) {
            span.end = i;
            return span;
        }
        if (sameName(*name, section))
            span.header = i;
    }
    if (span.header >= 0)
        span.end = lines.size();
    return span;
}

qsizetype findKey(const QStringList& lines, const SectionSpan& span, const QString& key) {
    for (qsizetype i = span.header + 1; i < span.end; ++i)
        if (const std::optional<QString> k = keyOf(lines[i]); k && sameName(*k, key))
            return i;
    return -1;
}

}  // namespace

std::optional<int32_t> profileInteger(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i >= text.size() || !text[i].isDigit() || text[i].unicode() > '9')
        return std::nullopt;
    uint32_t value = 0;  // wraps past 32 bits, as the platform's conversion does
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
        value = value * 10u + static_cast<uint32_t>(text[i].unicode() - '0');
    if (negative)
        value = 0u - value;
    return static_cast<int32_t>(value);
}

std::optional<QString> PrivateProfile::getString(const QString& section, const QString& key) const {
    const IniLines ini = readLines(m_path);
    const SectionSpan span = findSection(ini.lines, section);
    if (span.header < 0)
        return std::nullopt;
    const qsizetype at = findKey(ini.lines, span, key);
    if (at < 0)
        return std::nullopt;
    const QString& line = ini.lines[at];
    QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (value.size() >= 2 && ((value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'))) ||
                              (value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\'')))))
        value = value.mid(1, value.size() - 2);
    return value;
}

int32_t PrivateProfile::getInt(const QString& section, const QString& key, int32_t fallback) const {
    const std::optional<QString> value = getString(section, key);
    if (!value)
        return fallback;
    return profileInteger(*value).value_or(fallback);
}

bool PrivateProfile::writeInt(const QString& section, const QString& key, int32_t value) {
    return writeString(section, key, QString::number(value));
}

bool PrivateProfile::writeString(const QString& section, const QString& key, const QString& value) {
    IniLines ini = readLines(m_path);
    if (!ini.usable)
        return false;
    const SectionSpan span = findSection(ini.lines, section);
    if (span.header < 0) {
        if (!ini.lines.isEmpty() && !ini.lines.back().trimmed().isEmpty())
            ini.lines << QString();
        ini.lines << QLatin1Char('[') + section + QLatin1Char(']') << key + QLatin1Char('=') + value;
    } else if (const qsizetype at = findKey(ini.lines, span, key); at >= 0) {
        ini.lines[at] = *keyOf(ini.lines[at]) + QLatin1Char('=') + value;
    } else {
        qsizetype after = span.end;
        while (after > span.header + 1 && ini.lines[after - 1].trimmed().isEmpty())
            --after;
        ini.lines.insert(after, key + QLatin1Char('=') + value);
    }

    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QString text;
    for (const QString& line : ini.lines)
        text += line + ini.eol;
    file.write(text.toUtf8());
    return file.commit();
}
