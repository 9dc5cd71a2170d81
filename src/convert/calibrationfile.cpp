#include "calibrationfile.h"

#include "testcolorutil.h"
#include "testvalue.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace CalibrationFile {

namespace {
QString tr(const char* key) { return QCoreApplication::translate("CalibrationFile", key); }

bool readLevel(const QString& field, int* level)
{
    bool ok = false;
    *level = field.toInt(&ok, 10);
    return ok && *level >= 0 && *level <= 255;
}
} // namespace

QByteArray toText(const Table& table)
{
    QByteArray text = "# Gyrolume colour calibration: output levels R G B of bands 1 to 32\n";
    for (const Levels& row : table)
        text += QByteArray::number(row.r) + ' ' + QByteArray::number(row.g) + ' ' + QByteArray::number(row.b) + '\n';
    return text;
}

ReadResult fromText(const QByteArray& text)
{
    ReadResult result;
    if (text.size() > maxFileSize) {
        result.error = tr("calib_error_size");
        return result;
    }
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    const QList<QByteArray> lines = text.split('\n');
    int rows = 0;
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = QString::fromUtf8(lines.at(n)).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (rows == int(result.table.size())) {
            result.error = tr("calib_error_extra").arg(n + 1).arg(result.table.size());
            return result;
        }
        const QStringList fields = line.split(separators, Qt::SkipEmptyParts);
        Levels levels;
        if (fields.size() != 3 || !readLevel(fields.at(0), &levels.r) || !readLevel(fields.at(1), &levels.g)
            || !readLevel(fields.at(2), &levels.b)) {
            result.error = tr("calib_error_line").arg(n + 1).arg(line.left(40));
            return result;
        }
        result.table[rows++] = levels;
    }
    if (rows < int(result.table.size()))
        result.error = tr("calib_error_rows").arg(rows).arg(result.table.size());
    return result;
}

Table current()
{
    Table table;
    for (int key = 1; key <= int(table.size()); ++key) {
        if (const TestValue* row = TestColorUtil::instance()->values.value(key))
            table[key - 1] = {row->r, row->g, row->b};
    }
    return table;
}

Table defaults()
{
    Table table;
    for (int key = 1; key <= int(table.size()); ++key) {
        const auto levels = TestColorUtil::defaultLevels(key);
        table[key - 1] = {levels[0], levels[1], levels[2]};
    }
    return table;
}

void apply(const Table& table)
{
    for (int key = 1; key <= int(table.size()); ++key) {
        if (TestValue* row = TestColorUtil::instance()->values.value(key)) {
            row->r = table[key - 1].r;
            row->g = table[key - 1].g;
            row->b = table[key - 1].b;
        }
    }
}

} // namespace CalibrationFile
