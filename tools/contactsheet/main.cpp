// gyrolume-contactsheet: every picture of a directory on one sheet, for looking at
// them the way the program shows them: at toolbar size (30 x 30, language buttons
// 60 x 25), at row-button size (16 x 16), and at full size, each on a light and a dark
// ground. Animations show all their frames.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QPainter>

#include <cstdio>

namespace {

const QColor light(0xef, 0xef, 0xef);
const QColor dark(0x3c, 0x3f, 0x41);
constexpr int gap = 8;
constexpr int sheetWidth = 1400;

struct Entry
{
    QString name;
    QList<QImage> frames;
};

QSize smallSize(const QImage& picture)
{
    return picture.width() > 2 * picture.height() ? QSize(60, 25) : QSize(30, 30);
}

// What a widget draws: the icon scaled the way the toolkit scales icons.
QPixmap asIcon(const QImage& picture, const QSize& size)
{
    return QIcon(QPixmap::fromImage(picture)).pixmap(size);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3 && arguments.size() != 4) {
        std::fprintf(stderr, "usage: gyrolume-contactsheet PICTURE_DIRECTORY SHEET.png [SMALL_SHEET.png]\n"
                             "SMALL_SHEET shows only the small sizes, each pixel enlarged four times.\n");
        return 2;
    }
    const QDir dir(arguments[1]);
    QList<Entry> entries;
    for (const QFileInfo& file : dir.entryInfoList({"*.png", "*.jpg", "*.gif"}, QDir::Files, QDir::Name)) {
        QImageReader reader(file.absoluteFilePath());
        Entry entry{file.fileName(), {}};
        QImage frame;
        while (reader.read(&frame))
            entry.frames.append(frame);
        if (entry.frames.isEmpty()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(file.fileName()), qPrintable(reader.errorString()));
            return 1;
        }
        entries.append(entry);
    }
    if (entries.isEmpty()) {
        std::fprintf(stderr, "no pictures in %s\n", qPrintable(arguments[1]));
        return 1;
    }

    // Cells flow left to right and wrap at the sheet's width.
    struct Cell
    {
        QRect rect;
        const Entry* entry;
    };
    QList<Cell> cells;
    const int textHeight = 32;
    int x = gap;
    int y = gap;
    int lineHeight = 0;
    for (const Entry& entry : entries) {
        const QImage& first = entry.frames.first();
        const QSize small = smallSize(first);
        const int grounds = entry.frames.size() > 1 ? 1 : 2;
        int cellWidth = 2 * (small.width() + gap) + 16 + gap;
        for (const QImage& frame : entry.frames)
            cellWidth += grounds * (frame.width() + gap);
        cellWidth = qMax(cellWidth, 180);
        const int cellHeight = textHeight + qMax(first.height(), 30) + gap;
        if (x > gap && x + cellWidth > sheetWidth) {
            x = gap;
            y += lineHeight + gap;
            lineHeight = 0;
        }
        cells.append({QRect(x, y, cellWidth, cellHeight), &entry});
        x += cellWidth + 2 * gap;
        lineHeight = qMax(lineHeight, cellHeight);
    }
    QImage sheet(sheetWidth, y + lineHeight + gap, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Cell& cell : cells) {
        const Entry& entry = *cell.entry;
        const QImage& first = entry.frames.first();
        painter.setPen(Qt::black);
        painter.drawText(QRect(cell.rect.left(), cell.rect.top(), cell.rect.width(), textHeight),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("%1  %2 x %3%4").arg(entry.name).arg(first.width()).arg(first.height())
                             .arg(entry.frames.size() > 1 ? QStringLiteral(", %1 frames").arg(entry.frames.size()) : QString()));
        const int top = cell.rect.top() + textHeight;
        const int rowHeight = qMax(first.height(), 30) + gap;
        int at = cell.rect.left();
        const QSize small = smallSize(first);
        for (const QColor& ground : {light, dark}) {
            painter.fillRect(at, top, small.width() + gap, rowHeight, ground);
            painter.drawPixmap(at + gap / 2, top + (rowHeight - small.height()) / 2, asIcon(first, small));
            at += small.width() + gap;
        }
        painter.fillRect(at, top, 16 + gap, rowHeight, light);
        painter.drawPixmap(at + gap / 2, top + (rowHeight - 16) / 2, asIcon(first, QSize(16, 16)));
        at += 16 + gap;
        const QList<QColor> grounds = entry.frames.size() > 1 ? QList<QColor>{light} : QList<QColor>{light, dark};
        for (const QColor& ground : grounds) {
            for (const QImage& frame : entry.frames) {
                painter.fillRect(at, top, frame.width() + gap, rowHeight, ground);
                painter.drawImage(at + gap / 2, top + gap / 2, frame);
                at += frame.width() + gap;
            }
        }
    }
    painter.end();
    if (!sheet.save(arguments[2])) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments[2]));
        return 1;
    }
    if (arguments.size() == 4) {
        // The small sizes only, drawn in a grid at 1:1 and then enlarged without smoothing,
        // so that every pixel the user sees can be judged.
        constexpr int columns = 6;
        constexpr int cellWidth = 2 * (60 + gap) + 16 + 2 * gap;
        constexpr int cellHeight = 30 + 2 * gap;
        const int rows = int((entries.size() + columns - 1) / columns);
        QImage small(columns * cellWidth, rows * cellHeight, QImage::Format_RGB32);
        small.fill(Qt::white);
        QPainter p(&small);
        for (int i = 0; i < entries.size(); ++i) {
            const QImage& first = entries[i].frames.first();
            const QSize size = smallSize(first);
            int at = (i % columns) * cellWidth;
            const int top = (i / columns) * cellHeight;
            for (const QColor& ground : {light, dark}) {
                p.fillRect(at, top, size.width() + gap, cellHeight - gap, ground);
                p.drawPixmap(at + gap / 2, top + (cellHeight - gap - size.height()) / 2, asIcon(first, size));
                at += size.width() + gap;
            }
            p.fillRect(at, top, 16 + gap, cellHeight - gap, light);
            p.drawPixmap(at + gap / 2, top + (cellHeight - gap - 16) / 2, asIcon(first, QSize(16, 16)));
        }
        p.end();
        if (!small.scaled(small.size() * 4).save(arguments[3])) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments[3]));
            return 1;
        }
    }
    return 0;
}
