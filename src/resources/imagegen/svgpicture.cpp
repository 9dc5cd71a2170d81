#include "svgpicture.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QSet>
#include <QStack>
#include <QSvgRenderer>
#include <QXmlStreamReader>

namespace {

// The SVG reader reports what it does not understand through the "qt.svg" logging
// category; while a source loads, those messages are collected instead of printed.
QStringList* svgWarnings = nullptr;
QtMessageHandler previousHandler = nullptr;

void collectSvgWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (svgWarnings && context.category && QByteArray(context.category).startsWith("qt.svg")) {
        svgWarnings->append(text);
        return;
    }
    if (previousHandler)
        previousHandler(type, context, text);
}

// The first family of a font-family list, without quotes.
QString firstFamily(const QString& list)
{
    QString family = list.section(QLatin1Char(','), 0, 0).trimmed();
    if (family.size() >= 2 && (family.startsWith(QLatin1Char('\'')) || family.startsWith(QLatin1Char('"'))))
        family = family.mid(1, family.size() - 2);
    return family;
}

} // namespace

SvgPicture::SvgPicture() = default;
SvgPicture::~SvgPicture() = default;

SvgPicture::Status SvgPicture::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
        return Status::NotReadable;
    }
    const Status status = loadData(file.readAll());
    if (status != Status::Ok)
        error = path + QStringLiteral(": ") + error;
    return status;
}

SvgPicture::Status SvgPicture::loadData(const QByteArray& data)
{
    error.clear();
    renderer.reset();
    QStringList warnings;
    svgWarnings = &warnings;
    previousHandler = qInstallMessageHandler(collectSvgWarnings);
    auto loaded = std::make_unique<QSvgRenderer>(data);
    qInstallMessageHandler(previousHandler);
    svgWarnings = nullptr;

    if (!loaded->isValid()) {
        error = QStringLiteral("not a valid SVG picture");
        if (!warnings.isEmpty())
            error += QStringLiteral(" (") + warnings.join(QStringLiteral("; ")) + QStringLiteral(")");
        return Status::NotValid;
    }
    if (!warnings.isEmpty()) {
        error = QStringLiteral("the SVG reader does not understand everything: ") + warnings.join(QStringLiteral("; "));
        return Status::Warnings;
    }
    const Status content = checkContent(data);
    if (content != Status::Ok)
        return content;
    renderer = std::move(loaded);
    return Status::Ok;
}

SvgPicture::Status SvgPicture::checkContent(const QByteArray& data)
{
    static const QSet<QString> elements = {
        "svg", "g", "defs", "use", "title", "desc", "rect", "circle", "ellipse", "line",
        "polyline", "polygon", "path", "text", "tspan", "linearGradient", "radialGradient", "stop",
    };
    static const QSet<QString> attributes = {
        "id", "version", "baseProfile", "width", "height", "viewBox", "preserveAspectRatio",
        "x", "y", "rx", "ry", "cx", "cy", "r", "x1", "y1", "x2", "y2", "fx", "fy", "d", "points",
        "transform", "xlink:href", "fill", "fill-opacity", "fill-rule", "stroke", "stroke-width",
        "stroke-opacity", "stroke-linecap", "stroke-linejoin", "stroke-miterlimit",
        "stroke-dasharray", "stroke-dashoffset", "opacity", "visibility", "display", "color",
        "font-family", "font-size", "font-weight", "font-style", "text-anchor", "offset",
        "stop-color", "stop-opacity", "gradientUnits", "gradientTransform", "spreadMethod",
    };
    const QStringList installed = QFontDatabase::families();
    QXmlStreamReader xml(data);
    QStack<QString> families;
    QStack<bool> inText;
    families.push(QString());
    inText.push(false);
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QXmlStreamAttributes given = xml.attributes();
            QString family = families.top();
            if (given.hasAttribute(QStringLiteral("font-family")))
                family = firstFamily(given.value(QStringLiteral("font-family")).toString());
            families.push(family);
            const QStringView name = xml.name();
            if (!elements.contains(name.toString())) {
                error = QStringLiteral("line %1: the element <%2> is not one the SVG reader draws")
                            .arg(xml.lineNumber()).arg(name);
                return Status::UnknownElement;
            }
            for (const QXmlStreamAttribute& attribute : given) {
                if (!attributes.contains(attribute.qualifiedName().toString())) {
                    error = QStringLiteral("line %1: <%2> has the attribute \"%3\", which the SVG reader "
                                           "does not know").arg(xml.lineNumber()).arg(name, attribute.qualifiedName());
                    return Status::UnknownAttribute;
                }
            }
            inText.push(inText.top() || name == QStringLiteral("text") || name == QStringLiteral("tspan"));
        } else if (token == QXmlStreamReader::EndElement) {
            families.pop();
            inText.pop();
        } else if (token == QXmlStreamReader::Characters && inText.top() && !xml.isWhitespace()) {
            const QString text = xml.text().toString().trimmed();
            const QString family = families.top();
            if (family.isEmpty()) {
                error = QStringLiteral("the text \"%1\" names no font-family, so it would be drawn in "
                                       "whatever font this machine uses by default").arg(text);
                return Status::TextWithoutFont;
            }
            if (!installed.contains(family, Qt::CaseInsensitive)) {
                error = QStringLiteral("the font \"%1\" for the text \"%2\" is not installed "
                                       "(install the font, e.g. the fonts-wqy-microhei package)")
                            .arg(family, text);
                return Status::FontMissing;
            }
            const QFontMetricsF metrics{QFont(family)};
            for (const char32_t ch : text.toUcs4()) {
                if (!QChar::isSpace(ch) && !metrics.inFontUcs4(ch)) {
                    error = QStringLiteral("the font \"%1\" has no glyph for \"%2\" in the text \"%3\"")
                                .arg(family, QString::fromUcs4(&ch, 1), text);
                    return Status::GlyphMissing;
                }
            }
        }
    }
    if (xml.hasError()) {
        error = QStringLiteral("XML error at line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
        return Status::NotValid;
    }
    return Status::Ok;
}

QImage SvgPicture::render(const QSize& size, qreal rotationDegrees) const
{
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    if (!renderer)
        return picture;
    QPainter painter(&picture);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
    if (rotationDegrees != 0) {
        const QPointF centre(size.width() / 2.0, size.height() / 2.0);
        painter.translate(centre);
        painter.rotate(rotationDegrees);
        painter.translate(-centre);
    }
    renderer->render(&painter, QRectF(QPointF(0, 0), size));
    painter.end();
    return picture.convertToFormat(QImage::Format_ARGB32);
}
