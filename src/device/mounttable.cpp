#include "mounttable.h"

namespace {
bool isOctalDigit(char c) { return c >= '0' && c <= '7'; }
} // namespace

namespace MountTable {

QString decodeField(const QByteArray& field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (int i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctalDigit(field[i + 1])
            && isOctalDigit(field[i + 2]) && isOctalDigit(field[i + 3])) {
            bytes.append(char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3)
                              | (field[i + 3] - '0')));
            i += 3;
        } else {
            bytes.append(field[i]);
        }
    }
    return QString::fromUtf8(bytes);
}

// A line reads: id parent major:minor root mount-point options [optional fields...] -
// fs-type source super-options
QList<MountEntry> parse(const QByteArray& mountinfo)
{
    QList<MountEntry> entries;
    for (const QByteArray& line : mountinfo.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        const int separator = fields.indexOf("-");
        if (fields.size() < 7 || separator < 6 || separator + 2 >= fields.size())
            continue;
        const QList<QByteArray> device = fields[2].split(':');
        if (device.size() != 2)
            continue;
        bool majorOk = false;
        bool minorOk = false;
        MountEntry entry;
        entry.major = device[0].toInt(&majorOk);
        entry.minor = device[1].toInt(&minorOk);
        if (!majorOk || !minorOk)
            continue;
        entry.mountPoint = decodeField(fields[4]);
        entry.fsType = decodeField(fields[separator + 1]);
        entry.source = decodeField(fields[separator + 2]);
        entries.append(entry);
    }
    return entries;
}

} // namespace MountTable
