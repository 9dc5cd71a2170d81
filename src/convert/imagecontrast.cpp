#include "imagecontrast.h"

#include "imageobject.h"
#include "polarconversion.h"

#include <QDebug>

#include <opencv2/core.hpp>

namespace {

// A matrix header over the picture's own pixels: 4 channels of 8 bits, rows of
// bytesPerLine bytes. OpenCV marks it continuous by itself when the rows have no padding.
cv::Mat matrixOver(const uchar* bits, const QImage& picture)
{
    return cv::Mat(picture.height(), picture.width(), CV_8UC4, const_cast<uchar*>(bits),
                   size_t(picture.bytesPerLine()));
}

} // namespace

ImageContrast::ImageContrast(ImageObject* picture, QObject* parent)
    : QObject(parent), picture(picture), originalFactor(picture->contrast)
{
    if (picture->sourcePath.isEmpty())
        return;
    source = QImage(picture->sourcePath);
    if (source.isNull()) {
        qDebug() << "UpdateImageContract cannot read" << picture->sourcePath;
        return;
    }
    // Other 4-byte layouts (RGBA8888, premultiplied) would be misread as ARGB32 afterwards.
    if (source.format() != QImage::Format_ARGB32 && source.format() != QImage::Format_RGB32)
        source = source.convertToFormat(QImage::Format_ARGB32);
}

float ImageContrast::factorOf(int sliderValue) { return float(sliderValue / 10.0); }

int ImageContrast::sliderValueOf(float factor)
{
    // In double: a float product would round 0.7f * 10 up to exactly 7.
    return int(double(factor) * 10);
}

QImage ImageContrast::adjusted(float factor) const
{
    if (!hasSource())
        return QImage();
    QImage result(source.size(), QImage::Format_ARGB32);
    if (result.isNull())
        return result;
    // The conversion writes straight into the result picture: its header has the size and
    // type OpenCV would allocate, so no matrix of its own is made.
    // A header over the source's own pixels; constBits() because bits() would detach it.
    const cv::Mat sourceMatrix = matrixOver(source.constBits(), source);
    cv::Mat target = matrixOver(result.bits(), result);
    sourceMatrix.convertTo(target, -1, double(factor), 0.0);
    const int alphaToAlpha[] = {3, 3};  // B, G, R, A in memory
    cv::mixChannels(&sourceMatrix, 1, &target, 1, alphaToAlpha, 1);
    return result;
}

void ImageContrast::addImageContract(int value)
{
    changed = true;
    apply(factorOf(value));
}

void ImageContrast::restoreOriginal()
{
    if (changed.exchange(false))
        apply(originalFactor);
}

void ImageContrast::apply(float factor)
{
    picture->contrast = factor;
    qDebug() << "UpdateImageContract::addImageContract " << factor;
    if (!hasSource()) {
        qDebug() << "UpdateImageContract::addImageContract imageMat is NULL.";
        return;
    }
    const QImage result = adjusted(factor);
    if (result.isNull()) {
        // Better the picture as it was than a black one passed off as adjusted.
        qDebug() << "UpdateImageContract::addImageContract no memory for" << source.size();
        return;
    }
    picture->saveThumbnail(thumbnailOf(result));
    convertToPolar(result, picture);  // replaces the polar buffer, or empties it on failure
    emit onImageContractChanged(picture);
}
