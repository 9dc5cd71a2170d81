#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

// The file a picture import is working on, as the import handler tells its dialog about
// it. Made and deleted by the handler on the worker thread; the dialog reads it on the GUI
// thread while the worker waits for it.
class LoadObjectItem : public QObject
{
    Q_OBJECT
public:
    // Why a file gave no picture.
    enum class Failure {
        None,
        Missing,           // the file is gone
        CannotOpen,        // it exists but cannot be read (permissions, device error)
        UnsupportedFormat, // not a picture format the program reads
        Damaged,           // a known format whose data is broken or incomplete
        TooLarge,          // more pixels than the decoder may hold in memory
        OutOfMemory,       // decoded, but memory ran out while converting it
    };

    LoadObjectItem(int index, int count, const QString& path);

    int index;  // 1-based place of the file in the picked list
    int count;  // files in the picked list
    QString path;
    std::unique_ptr<QImage> preview;  // the square cut scaled to fit 300 x 300
    Failure failure = Failure::None;
    QString detail;  // the decoder's own words on the failure, for the debug output
    QStringList warnings;  // what the decoder said of a picture it decoded with errors
};
