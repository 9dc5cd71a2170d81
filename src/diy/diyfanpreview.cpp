#include "diyfanpreview.h"

#include "app/appsettings.h"
#include "convert/polarconversion.h"

#include <QPainter>
#include <QPainterPath>

DiyFanPreview::DiyFanPreview(QWidget* parent) : QWidget(parent)
{
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &DiyFanPreview::refresh);
}

void DiyFanPreview::setSource(std::function<QImage()> pictureSource)
{
    source = std::move(pictureSource);
    requestRefresh();
}

void DiyFanPreview::requestRefresh()
{
    if (timer.isActive())
        return;
    const qint64 wait = sinceLast.isValid() ? lastDuration - sinceLast.elapsed() : 0;
    timer.start(int(qMax<qint64>(0, wait)));
}

void DiyFanPreview::refresh()
{
    timer.stop();
    if (!source)
        return;
    // The geometry is made once per process and does not count as the refresh's cost.
    const auto geometry = Polar::Geometry::get(AppSettings::ledCount, AppSettings::lineNumber);
    QElapsedTimer took;
    took.start();
    m_preview = geometry->paintPreview(Polar::sampleColours(source(), *geometry));
    ++m_refreshCount;
    update();
    lastDuration = took.elapsed();
    sinceLast.start();
}

void DiyFanPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(rect(), QColor(58, 58, 64));
    const int side = qMin(width(), height());
    const QRect square((width() - side) / 2, (height() - side) / 2, side, side);
    QPainterPath round;
    round.addEllipse(QRectF(square));
    painter.setClipPath(round);
    painter.fillRect(square, Qt::black);
    if (!m_preview.isNull())
        painter.drawImage(square, m_preview);
}
