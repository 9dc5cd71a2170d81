#pragma once

#include <QImage>
#include <QImageReader>
#include <QSize>
#include <QString>
#include <QStringList>

// Collects what the picture decoders warn about on this thread while it lives ("Corrupt
// JPEG data: premature end of data segment"): a picture cut short still decodes, and the
// warning is the only sign. Other threads' messages go on to the previous handler.
class DecodeWarnings
{
public:
    explicit DecodeWarnings(QStringList& warnings);
    ~DecodeWarnings();
    DecodeWarnings(const DecodeWarnings&) = delete;
    DecodeWarnings& operator=(const DecodeWarnings&) = delete;

private:
    QStringList* m_outer;
};

// A picture file as its decoder gives it, with what the decoder warned about on the way.
struct DecodedPicture
{
    QImage picture;        // null when the file gave none
    QStringList warnings;  // not empty: decoded with errors, the damaged part left blank
    QImageReader::ImageReaderError error = QImageReader::UnknownError;  // why it gave none
    QString errorString;
    QSize headerSize;  // what the header promised, before any pixel was decoded

    bool damaged() const { return !picture.isNull() && !warnings.isEmpty(); }
};

// Decodes a picture file, the format taken from its contents. Any thread.
DecodedPicture decodePicture(const QString& path);
