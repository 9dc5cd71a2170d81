#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// The calibration table as a small text file, so a table tuned for one fan can be kept
// and loaded again: one row per band, "R G B" output levels 0..255, bands 1 to 32 in
// order. Blank lines and lines starting with "#" are skipped on reading.
namespace CalibrationFile {

struct Levels
{
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const Levels& other) const { return r == other.r && g == other.g && b == other.b; }
};
using Table = std::array<Levels, 32>;

// A text larger than this is no table; it is refused before it is read.
constexpr qint64 maxFileSize = 64 * 1024;

struct ReadResult
{
    Table table{};
    QString error;  // empty when the text is a whole table; else which line is wrong and why
    bool ok() const { return error.isEmpty(); }
};

QByteArray toText(const Table& table);
ReadResult fromText(const QByteArray& text);

// The table in force (TestColorUtil), the factory one, and putting one in force.
Table current();
Table defaults();
void apply(const Table& table);

} // namespace CalibrationFile
