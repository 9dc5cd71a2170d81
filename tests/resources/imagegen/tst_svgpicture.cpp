#include "resources/imagegen/colourreduction.h"
#include "resources/imagegen/svgpicture.h"

#include <QSet>
#include <QtTest>

// The strict SVG loading, the drawing and the colour reduction of the picture generator.
class SvgPictureTest : public QObject
{
    Q_OBJECT
private slots:
    void refusedSources_data();
    void refusedSources();
    void textInAnInstalledFont();
    void missingFileSaysWhich();
    void renderFitsAndTurnsClockwise();
    void flattenOnMatte();
    void fewColoursStayExact();
    void manyColoursAreReduced();
};

namespace {

QByteArray svg(const QByteArray& body)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">"
           + body + "</svg>";
}

} // namespace

void SvgPictureTest::refusedSources_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<int>("status");
    QTest::newRow("not XML") << QByteArray("<svg") << int(SvgPicture::Status::NotValid);
    QTest::newRow("not SVG") << QByteArray("<html></html>") << int(SvgPicture::Status::NotValid);
    QTest::newRow("misspelt element")
        << svg("<rectangle x=\"0\" y=\"0\" width=\"9\" height=\"9\"/>") << int(SvgPicture::Status::UnknownElement);
    QTest::newRow("misspelt attribute")
        << svg("<rect x=\"0\" y=\"0\" width=\"9\" height=\"9\" stroke-widht=\"4\"/>")
        << int(SvgPicture::Status::UnknownAttribute);
    QTest::newRow("missing gradient")
        << svg("<rect x=\"0\" y=\"0\" width=\"9\" height=\"9\" fill=\"url(#nothing)\"/>") << int(SvgPicture::Status::Warnings);
    QTest::newRow("text without font")
        << svg("<text x=\"4\" y=\"40\" font-size=\"20\">EN</text>") << int(SvgPicture::Status::TextWithoutFont);
    QTest::newRow("font not installed")
        << svg("<text x=\"4\" y=\"40\" font-family=\"No Such Font 12345\" font-size=\"20\">EN</text>")
        << int(SvgPicture::Status::FontMissing);
    QTest::newRow("font inherited from group, glyph missing")
        << svg("<g font-family=\"WenQuanYi Micro Hei\"><text x=\"4\" y=\"40\" font-size=\"20\">A\xf0\x93\x80\x80</text></g>")
        << int(SvgPicture::Status::GlyphMissing);
}

void SvgPictureTest::refusedSources()
{
    QFETCH(QByteArray, source);
    QFETCH(int, status);
    SvgPicture picture;
    QCOMPARE(int(picture.loadData(source)), status);
    QVERIFY(!picture.errorText().isEmpty());
    // Nothing is drawn from a refused source.
    const QImage image = picture.render(QSize(8, 8));
    QCOMPARE(image.pixel(4, 4), 0u);
}

void SvgPictureTest::textInAnInstalledFont()
{
    SvgPicture picture;
    QCOMPARE(picture.loadData(svg("<g font-family=\"WenQuanYi Micro Hei\"><text x=\"2\" y=\"44\" font-size=\"28\" "
                                  "fill=\"#000000\">繁體</text></g>")),
             SvgPicture::Status::Ok);
    QVERIFY(picture.errorText().isEmpty());
    const QImage image = picture.render(QSize(64, 64));
    int inked = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x)
            inked += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    }
    QVERIFY2(inked > 100, qPrintable(QString::number(inked)));
}

void SvgPictureTest::missingFileSaysWhich()
{
    SvgPicture picture;
    QCOMPARE(picture.load(QStringLiteral("/nonexistent/icon.svg")), SvgPicture::Status::NotReadable);
    QVERIFY(picture.errorText().contains(QStringLiteral("/nonexistent/icon.svg")));
}

void SvgPictureTest::renderFitsAndTurnsClockwise()
{
    // A red square in the top-left quarter of a 64-unit picture.
    SvgPicture picture;
    QCOMPARE(picture.loadData(svg("<rect x=\"0\" y=\"0\" width=\"32\" height=\"32\" fill=\"#ff0000\"/>")),
             SvgPicture::Status::Ok);
    const QImage plain = picture.render(QSize(16, 16));
    QCOMPARE(plain.size(), QSize(16, 16));
    QCOMPARE(plain.pixel(3, 3), qRgb(255, 0, 0));
    QCOMPARE(qAlpha(plain.pixel(12, 3)), 0);
    const QImage turned = picture.render(QSize(16, 16), 90);
    QCOMPARE(turned.pixel(12, 3), qRgb(255, 0, 0)); // top-left turns to top-right
    QCOMPARE(qAlpha(turned.pixel(3, 3)), 0);
    QCOMPARE(qAlpha(turned.pixel(12, 12)), 0);
}

void SvgPictureTest::flattenOnMatte()
{
    QImage picture(3, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(255, 255, 255, 31));
    picture.setPixel(1, 0, qRgba(255, 255, 255, 128));
    picture.setPixel(2, 0, qRgba(10, 20, 30, 255));
    const QImage flat = ColourReduction::flattenOnMatte(picture, QColor(0, 0, 0), 32);
    QCOMPARE(flat.pixel(0, 0), 0u);
    QCOMPARE(flat.pixel(1, 0), qRgb(128, 128, 128));
    QCOMPARE(flat.pixel(2, 0), qRgb(10, 20, 30));
}

void SvgPictureTest::fewColoursStayExact()
{
    QImage a(4, 1, QImage::Format_ARGB32);
    a.setPixel(0, 0, qRgb(1, 2, 3));
    a.setPixel(1, 0, qRgb(200, 100, 50));
    a.setPixel(2, 0, qRgba(9, 9, 9, 100)); // below half: transparent
    a.setPixel(3, 0, qRgba(7, 8, 9, 200)); // above half: opaque
    const QList<QImage> out = ColourReduction::reduceColours({a}, 3);
    QCOMPARE(out.size(), 1);
    QCOMPARE(out[0].pixel(0, 0), qRgb(1, 2, 3));
    QCOMPARE(out[0].pixel(1, 0), qRgb(200, 100, 50));
    QCOMPARE(out[0].pixel(2, 0), 0u);
    QCOMPARE(out[0].pixel(3, 0), qRgb(7, 8, 9));
}

void SvgPictureTest::manyColoursAreReduced()
{
    // A smooth gradient of 4,096 colours in two pictures, onto one palette of 255.
    QList<QImage> pictures;
    for (int p = 0; p < 2; ++p) {
        QImage picture(64, 32, QImage::Format_ARGB32);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 64; ++x)
                picture.setPixel(x, y, qRgb(x * 4, (y + 32 * p) * 4, 128));
        }
        pictures.append(picture);
    }
    const QList<QImage> out = ColourReduction::reduceColours(pictures, 255);
    QCOMPARE(out.size(), 2);
    QSet<QRgb> palette;
    int worst = 0;
    for (int p = 0; p < 2; ++p) {
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 64; ++x) {
                const QRgb was = pictures[p].pixel(x, y);
                const QRgb now = out[p].pixel(x, y);
                QCOMPARE(qAlpha(now), 255);
                palette.insert(now);
                worst = qMax(worst, qAbs(qRed(was) - qRed(now)) + qAbs(qGreen(was) - qGreen(now))
                                        + qAbs(qBlue(was) - qBlue(now)));
            }
        }
    }
    QVERIFY2(palette.size() <= 255, qPrintable(QString::number(palette.size())));
    QVERIFY2(palette.size() >= 200, qPrintable(QString::number(palette.size())));
    // 4,096 colours in 255 boxes of about 4 x 4 steps of 4: no colour moves far.
    QVERIFY2(worst <= 24, qPrintable(QString::number(worst)));
}

QTEST_MAIN(SvgPictureTest)
#include "tst_svgpicture.moc"
