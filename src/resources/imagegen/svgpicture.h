#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

class QSvgRenderer;

// One hand-written SVG source, checked strictly before it is drawn. The toolkit's SVG
// reader skips what it does not know without a word, so a misspelt element or
// attribute would vanish from the picture unnoticed: every element and attribute must
// be one of the SVG Tiny features the reader draws, and the reader must accept the
// source without a single warning. Every text must name a font family that is
// installed and holds all of its characters, so the labels never fall back to
// whatever font the building machine happens to have.
//
// Threads: load from one thread at a time; the reader's warnings are caught through the
// process-wide message handler while a source loads.
class SvgPicture
{
public:
    enum class Status {
        Ok,
        NotReadable,
        NotValid,
        Warnings,
        UnknownElement,
        UnknownAttribute,
        TextWithoutFont,
        FontMissing,
        GlyphMissing,
    };

    SvgPicture();
    ~SvgPicture();

    Status load(const QString& path);
    Status loadData(const QByteArray& data);
    // What went wrong in the last load, with the font, character or warnings concerned.
    QString errorText() const { return error; }

    // The picture fitted to size on a transparent ground, turned clockwise by
    // rotationDegrees about its centre.
    QImage render(const QSize& size, qreal rotationDegrees = 0) const;

private:
    Status checkContent(const QByteArray& data);

    std::unique_ptr<QSvgRenderer> renderer;
    QString error;
};
