// gyrolume-imagegen: draws one of the program's pictures from its SVG source at build
// time. The output's suffix gives the file type:
//   .png  RGBA picture with alpha
//   .jpg  opaque JPEG (the source must cover every pixel)
//   .gif  animated GIF: the source turned clockwise in --frames equal steps, one full
//         turn per cycle, so a rotationally symmetric spinner moves one step per frame
#include "colourreduction.h"
#include "gifwriter.h"
#include "svgpicture.h"

#include <QColor>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>

#include <cstdio>

namespace {

int fail(const QString& text)
{
    std::fprintf(stderr, "gyrolume-imagegen: %s\n", qPrintable(text));
    return 1;
}

bool parseSize(const QString& text, QSize* size)
{
    const QStringList parts = text.split(QLatin1Char('x'));
    if (parts.size() != 2)
        return false;
    bool okWidth = false;
    bool okHeight = false;
    const int width = parts[0].toInt(&okWidth);
    const int height = parts[1].toInt(&okHeight);
    if (!okWidth || !okHeight || width < 1 || height < 1 || width > 4096 || height > 4096)
        return false;
    *size = QSize(width, height);
    return true;
}

// A picture of one flat colour shows nothing; it means the source drew nothing.
bool isFlat(const QImage& picture)
{
    const QRgb first = picture.pixel(0, 0);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixel(x, y) != first)
                return false;
        }
    }
    return true;
}

bool hasTransparentPixel(const QImage& picture)
{
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(picture.pixel(x, y)) < 255)
                return true;
        }
    }
    return false;
}

// Writes through a temporary file, so a failed run never leaves half a picture behind.
bool saveImage(const QImage& picture, const QString& path, const char* format, int quality, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("%1 cannot be created: %2").arg(path, file.errorString());
        return false;
    }
    QImageWriter writer(&file, format);
    writer.setQuality(quality);
    if (!writer.write(picture)) {
        *error = QStringLiteral("%1 cannot be written: %2").arg(path, writer.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    // Drawing text needs the font database of a GUI application, but no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("gyrolume-imagegen"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws a picture of Gyrolume from its SVG source."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("source"), QStringLiteral("SVG source"));
    parser.addPositionalArgument(QStringLiteral("output"), QStringLiteral("picture to write: .png, .jpg or .gif"));
    parser.addPositionalArgument(QStringLiteral("size"), QStringLiteral("WIDTHxHEIGHT in pixels"));
    const QCommandLineOption framesOption(QStringLiteral("frames"), QStringLiteral("GIF frames per turn (2 to 60)"),
                                          QStringLiteral("count"), QStringLiteral("12"));
    const QCommandLineOption delayOption(QStringLiteral("delay"), QStringLiteral("GIF frame delay in ms (10 to 10000)"),
                                         QStringLiteral("ms"), QStringLiteral("80"));
    const QCommandLineOption matteOption(QStringLiteral("matte"),
                                         QStringLiteral("GIF: colour that soft edges are blended onto"),
                                         QStringLiteral("colour"), QStringLiteral("#efefef"));
    parser.addOption(framesOption);
    parser.addOption(delayOption);
    parser.addOption(matteOption);
    parser.process(app);

    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() != 3)
        return fail(QStringLiteral("expected: SOURCE.svg OUTPUT WIDTHxHEIGHT (see --help)"));
    const QString source = arguments[0];
    const QString output = arguments[1];
    QSize size;
    if (!parseSize(arguments[2], &size))
        return fail(QStringLiteral("\"%1\" is not a size such as 64x64 (1 to 4096 pixels a side)").arg(arguments[2]));

    SvgPicture svg;
    if (svg.load(source) != SvgPicture::Status::Ok)
        return fail(svg.errorText());

    const QString suffix = output.section(QLatin1Char('.'), -1).toLower();
    QString error;
    if (suffix == QLatin1String("png") || suffix == QLatin1String("jpg")) {
        const QImage picture = svg.render(size);
        if (isFlat(picture))
            return fail(QStringLiteral("%1 draws nothing but one flat colour").arg(source));
        if (suffix == QLatin1String("png")) {
            if (!saveImage(picture, output, "png", -1, &error))
                return fail(error);
        } else {
            if (hasTransparentPixel(picture))
                return fail(QStringLiteral("%1 leaves pixels transparent, but a JPEG picture has no "
                                           "transparency: let the source cover the whole picture").arg(source));
            if (!saveImage(picture.convertToFormat(QImage::Format_RGB32), output, "jpeg", 92, &error))
                return fail(error);
        }
        return 0;
    }
    if (suffix != QLatin1String("gif"))
        return fail(QStringLiteral("%1: the output must end in .png, .jpg or .gif").arg(output));

    bool ok = false;
    const int frameCount = parser.value(framesOption).toInt(&ok);
    if (!ok || frameCount < 2 || frameCount > 60)
        return fail(QStringLiteral("--frames must be a whole number from 2 to 60"));
    const int delay = parser.value(delayOption).toInt(&ok);
    if (!ok || delay < 10 || delay > 10000)
        return fail(QStringLiteral("--delay must be a whole number of milliseconds from 10 to 10000"));
    const QColor matte = QColor::fromString(parser.value(matteOption));
    if (!matte.isValid())
        return fail(QStringLiteral("--matte \"%1\" is not a colour such as #efefef").arg(parser.value(matteOption)));

    QList<QImage> pictures;
    for (int i = 0; i < frameCount; ++i)
        pictures.append(ColourReduction::flattenOnMatte(svg.render(size, 360.0 * i / frameCount), matte, 32));
    if (isFlat(pictures.first()))
        return fail(QStringLiteral("%1 draws nothing but one flat colour").arg(source));
    // One palette entry stays free for the transparent pixels.
    pictures = ColourReduction::reduceColours(pictures, 255);
    QList<GifFrame> frames;
    for (const QImage& picture : pictures)
        frames.append(GifFrame{picture, delay});

    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("%1 cannot be created: %2").arg(output, file.errorString()));
    const GifWriter::Status status = GifWriter::write(file, frames);
    if (status != GifWriter::Status::Ok) {
        file.cancelWriting();
        return fail(QStringLiteral("%1: %2").arg(output, GifWriter::statusText(status)));
    }
    if (!file.commit())
        return fail(QStringLiteral("%1 cannot be written: %2").arg(output, file.errorString()));
    return 0;
}
