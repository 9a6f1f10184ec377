// SPDX-License-Identifier: MIT
#include "resources/string_table.h"

#include <map>

#include "resources/resource_ids.h"

namespace karvel::res {

namespace {

struct StringEntry {
    int id;
    const char* text;
};

constexpr StringEntry kStrings[] = {
    {kStrScsiTargets, "SCSI &Targets ..."},
    {kStrSlotEmpty, "%d"},
    {kStrSlotFull, "%d - Full"},
    {kStrSlotInDrive, "%d in Drive %d"},
    {kStrClearNvramWarning,
     "WARNING:  Clearing NVRAM.  Verify Changer is Empty\n Do you want to continue ?"},
    {kStrFirmwareFilter,
     "Motorola Files (*.mot)|*.mot|Binary Files (*.bin)|*.bin|HexFiles (*.hex)|*.hex|"
     "All Files (*.*)|*.*||"},
    {kStrFirmwareCompleted, "Writing New Firmware Completed"},
    {kStrFirmwareFailed, "ERROR: New Firmware NOT transfered"},
    {kStrReadingBinary, "Reading Binary File"},
    {kStrReadingMotorola, "Reading Motorola format line %ld "},
    {kStrReadingHex, "Reading Hex format line %ld"},
    {kStrTransferringFirmware, "Transfering Firmware to Changer"},
    {kStrInitializingChanger, "Initializing Changer"},
    {kStrRefreshView, "Re&fresh View"},
    {kStrAboutBox, "&About karvel..."},
};

std::map<int, QString>& overrides() {
    static std::map<int, QString> table;
    return table;
}

}  // namespace

QString loadString(int id) {
    if (auto it = overrides().find(id); it != overrides().end())
        return it->second;
    for (const StringEntry& entry : kStrings)
        if (entry.id == id)
            return QString::fromUtf8(entry.text);
    return {};
}

void overrideString(int id, const QString& text) {
    overrides()[id] = text;
}

void restoreStrings() {
    overrides().clear();
}

QString formatString(const QString& format, std::initializer_list<long long> numbers) {
    QString out;
    auto next = numbers.begin();
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != QLatin1Char('%') || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        qsizetype j = i + 1;
        if (format[j] == QLatin1Char('%')) {
            out += QLatin1Char('%');
            i = j;
            continue;
        }
        if (format[j] == QLatin1Char('l'))
            ++j;
        if (j < format.size() && (format[j] == QLatin1Char('d') || format[j] == QLatin1Char('u'))) {
            out += next != numbers.end() ? QString::number(*next++) : QString();
            i = j;
            continue;
        }
        out += c;
    }
    return out;
}

}  // namespace karvel::res
