#include "diypainter.h"

#include "diylayout.h"
#include "diyshape.h"
#include "roundareawidget.h"

#include <QDebug>
#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

using DiyLayout::areaSide;

DiyPainter::DiyPainter(const QString& path, QWidget* parent) : QWidget(parent)
{
    circleOverlay = roundAreaOverlay(false);

    const QImage loaded = path.isEmpty() ? QImage() : QImage(path);
    if (loaded.isNull()) {
        currentImage = QImage(areaSide, areaSide, QImage::Format_ARGB32);
        currentImage.fill(qRgba(255, 255, 255, 0));
        areaRect = QRect(0, 0, areaSide, areaSide);
    } else {
        qDebug() << "111111111111";
        currentImage = loaded.convertToFormat(QImage::Format_ARGB32);
        areaRect = DiyLayout::centredArea(currentImage.size(), true);
    }
    setFixedSize(currentImage.size());
    baseImage = currentImage;
    qDebug() << "w = " << currentImage.width() << ", h = " << currentImage.height();

    shapeWidget = new DiyShape(this);
    shapeWidget->hide();
    connect(shapeWidget, &DiyShape::signalPointChanged, this, &DiyPainter::onShapeWidgetPointChanged);

    textEdit = new QLineEdit(this);
    textEdit->hide();
    textEdit->setFrame(false);
    textEdit->setAutoFillBackground(true);
    QPalette palette = textEdit->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Window, QColor(0, 0, 0, 0));
    textEdit->setPalette(palette);
    connect(textEdit, &QLineEdit::textEdited, this, &DiyPainter::onTextChanged);
    connect(textEdit, &QLineEdit::returnPressed, this, &DiyPainter::onTextPressEnter);
    // Return ends the typing here; it must not also reach the dialog around the canvas.
    textEdit->installEventFilter(this);

    m_history.append(0, currentImage);

    areaWidget = new RoundAreaWidget(false, this);
    areaWidget->move(areaRect.topLeft());
    areaWidget->hide();
    areaWidget->installEventFilter(this);
}

DiyPainter::~DiyPainter() = default;

void DiyPainter::setBackgroundColor(const QColor& colour)
{
    m_backgroundColor = colour;
    changed();
}

bool DiyPainter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == areaWidget && event->type() == QEvent::Move)
        emit pictureChanged();
    if (watched == textEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            onTextPressEnter();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void DiyPainter::changed()
{
    update();
    emit pictureChanged();
}

void DiyPainter::setUpPainter(QPainter& painter) const
{
    const bool eraser = tool == Eraser;
    if (penWidth >= 1)
        painter.setPen(QPen(eraser ? m_backgroundColor : penColor, penWidth, Qt::PenStyle(penStyle)));
    else
        painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(eraser ? m_backgroundColor : brushColor, Qt::SolidPattern));
}

void DiyPainter::paintShape(QPainter& painter, QPoint from, QPoint to) const
{
    setUpPainter(painter);
    switch (tool) {
    case Pen:
    case Eraser:
    case Line:
        painter.drawLine(from, to);
        break;
    case Rect:
        painter.drawRect(QRect(from, to - QPoint(1, 1)));
        break;
    case RoundRect:
        painter.drawRoundedRect(QRect(from, QSize(to.x() - from.x(), to.y() - from.y())), 25, 25,
                                Qt::RelativeSize);
        break;
    case Oval:
        painter.drawEllipse(QRect(from, to - QPoint(1, 1)));
        break;
    default:  // Text and Move draw nothing here
        break;
    }
}

void DiyPainter::drawStroke()
{
    QPainter painter(&currentImage);
    paintShape(painter, startPoint, endPoint);
    painter.end();
    startPoint = endPoint;
    modified = true;
    changed();
}

void DiyPainter::endStroke()
{
    // The stroke's record is taken once, when it ends: recording the picture at every mouse
    // move would copy the whole picture at every move.
    if (!strokeRecorded)
        return;
    strokeRecorded = false;
    m_history.append(m_zoomLevel, currentImage);
    m_zoomLevel = 0;
    baseImage = currentImage;
}

QImage DiyPainter::renderFloatingShape() const
{
    const QRect margin = DiyLayout::shapeMargin(startPoint, endPoint, penWidth);
    if (margin.isEmpty())
        return QImage();
    QImage picture(margin.size(), QImage::Format_ARGB32);
    picture.fill(qRgba(255, 255, 255, 0));
    QPainter painter(&picture);
    painter.translate(-margin.topLeft());
    paintShape(painter, startPoint, endPoint);
    return picture;
}

void DiyPainter::showFloating(const QImage& picture, QPoint topLeft)
{
    shapeWidget->setCurrentImage(picture);
    shapeWidget->move(topLeft);
    shapeWidget->show();
    shapeWidget->raise();
    pressing = false;
    changed();
}

void DiyPainter::mousePressEvent(QMouseEvent* event)
{
    if (moveMode || event->button() != Qt::LeftButton)
        return;
    const QPoint position = event->position().toPoint();
    qDebug() << "DiyPainter::mousePressEvent x = " << position.x() << ", y = " << position.y();
    endStroke();
    if (textEdit->text().isEmpty())
        textEdit->hide();
    if (!textEdit->isHidden()) {
        onTextPressEnter();
    } else if (enterDiyShape()) {
        startPoint = QPoint(0, 0);  // this press only stamps
    } else if (tool == Text) {
        textEdit->setFont(textFont);
        textEdit->setFixedHeight(QFontMetrics(textFont).height());
        textEdit->setAutoFillBackground(true);
        QPalette palette = textEdit->palette();
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setColor(group, QPalette::Text, textColor);
        textEdit->setPalette(palette);
        textEdit->clear();
        onTextChanged(QString());
        textEdit->move(position);
        textEdit->show();
        textEdit->raise();
        textEdit->setFocus();
    } else {
        startPoint = position;
        endPoint = position;
        pressing = true;
    }
}

void DiyPainter::mouseMoveEvent(QMouseEvent* event)
{
    if (moveMode || !(event->buttons() & Qt::LeftButton) || startPoint == QPoint(0, 0))
        return;
    endPoint = event->position().toPoint();
    if (isStroke()) {
        qDebug() << "DiyPainter::mouseMoveEvent draw pen.";
        pressing = false;
        drawStroke();
        strokeRecorded = true;
    } else if (tool != Text) {
        pressing = true;
        update();
    }
}

void DiyPainter::mouseReleaseEvent(QMouseEvent* event)
{
    if (moveMode)
        return;
    if (isStroke()) {
        endStroke();
        return;
    }
    if (event->button() != Qt::LeftButton || startPoint == QPoint(0, 0) || tool == Text)
        return;
    endPoint = event->position().toPoint();
    qDebug() << "DiyPainter::mouseReleaseEvent lastPoint" << startPoint << ", endPoint" << endPoint;
    if (endPoint == startPoint) {
        pressing = false;
        update();
        return;
    }
    modified = true;
    const QRect margin = DiyLayout::shapeMargin(startPoint, endPoint, penWidth);
    showFloating(renderFloatingShape(), margin.topLeft());
}

void DiyPainter::repaintShape()
{
    if (shapeWidget->isHidden() || isStroke())
        return;
    if (tool == Text) {
        if (textEdit->isHidden())
            onTextPressEnter();
        return;
    }
    if (tool == Move || startPoint == endPoint)
        return;
    qDebug() << "DiyPainter::repaintShape ";
    // The shape keeps the place it was dragged to.
    showFloating(renderFloatingShape(), shapeWidget->pos());
}

void DiyPainter::onShapeWidgetPointChanged(QPoint)
{
    repaintShape();
}

void DiyPainter::onTextChanged(const QString& text)
{
    textEdit->resize(qMax(20, textEdit->fontMetrics().horizontalAdvance(text)), textEdit->height());
}

void DiyPainter::onTextPressEnter()
{
    const QPoint anchor = !textEdit->isHidden() ? textEdit->pos() : shapeWidget->pos();
    const QString text = textEdit->text();
    if (text.isEmpty()) {
        textEdit->hide();
        return;
    }
    QImage canvas(size(), QImage::Format_ARGB32);
    const DiyLayout::TextLayout layout =
        DiyLayout::layoutText(text, textFont, textArrangement, textRadius, anchor, &canvas);
    qDebug() << "DiyPainter::onTextPressEnter " << layout.box;
    // The text is drawn on its own picture the size of its box, so nothing of it is lost
    // where the box reaches past the canvas.
    QImage picture(layout.box.size(), QImage::Format_ARGB32);
    picture.fill(qRgba(255, 255, 255, 0));
    QPainter painter(&picture);
    painter.setPen(textColor);
    painter.setFont(textFont);
    painter.translate(-layout.box.topLeft());
    DiyLayout::drawText(painter, layout);
    painter.end();
    textEdit->hide();
    modified = true;
    showFloating(picture, anchor);
}

bool DiyPainter::enterDiyShape()
{
    endStroke();
    if (shapeWidget->currentImage().isNull())
        return false;
    qDebug() << "DiyPainter::enterDiyShape x = " << shapeWidget->x() << ", y = " << shapeWidget->y();
    QPainter painter(&currentImage);
    painter.drawImage(shapeWidget->pos(), shapeWidget->currentImage());
    painter.end();
    shapeWidget->setCurrentImage(QImage());
    shapeWidget->hide();
    m_zoomLevel = 0;
    baseImage = currentImage;
    m_history.append(0, currentImage);
    pressing = false;
    modified = true;
    changed();
    return true;
}

bool DiyPainter::commitPending()
{
    if (!textEdit->isHidden())
        onTextPressEnter();
    return enterDiyShape();
}

bool DiyPainter::hasPending() const
{
    return !textEdit->isHidden() || (!shapeWidget->isHidden() && !shapeWidget->currentImage().isNull());
}

bool DiyPainter::dropFloatingShape()
{
    if (shapeWidget->isHidden() || shapeWidget->currentImage().isNull())
        return false;
    shapeWidget->setCurrentImage(QImage());
    shapeWidget->hide();
    pressing = false;
    changed();
    return true;
}

void DiyPainter::revokeCancel()
{
    qDebug() << "DiyPainter::revokeCancel()";
    endStroke();
    startPoint = QPoint(0, 0);  // a stroke under way does not go on after the undo
    if (!textEdit->isHidden()) {
        textEdit->hide();
        pressing = false;
        update();
        return;
    }
    if (dropFloatingShape())
        return;
    if (!m_history.dropLast())
        return;
    const HistoryObject& record = m_history.last();
    setPicture(record.picture);
    if (record.zoomLevel != -1)
        m_zoomLevel = record.zoomLevel;
    pressing = false;
    changed();
}

void DiyPainter::setPicture(const QImage& picture)
{
    currentImage = picture;
    baseImage = picture;
    setFixedSize(picture.size());
}

void DiyPainter::finishPendingForStep()
{
    if (textEdit->text().isEmpty())
        textEdit->hide();
    if (!textEdit->isHidden())
        onTextPressEnter();
    if (enterDiyShape())
        startPoint = QPoint(0, 0);
}

bool DiyPainter::zoomIn()
{
    qDebug() << "#DiyPainter# zoomIn() ";
    return zoomStep(1);
}

bool DiyPainter::zoomOut()
{
    qDebug() << "#DiyPainter# zoomOut() ";
    return zoomStep(-1);
}

bool DiyPainter::zoomStep(int direction)
{
    if (moveMode)
        leaveMoveMode();
    if (baseImage.isNull())
        return false;
    endStroke();
    finishPendingForStep();
    bool refused = false;
    const QSize size = DiyLayout::zoomedSize(baseImage.size(), m_zoomLevel + direction, &refused);
    if (refused)
        return false;
    const int before = m_zoomLevel;
    m_zoomLevel += direction;
    currentImage = baseImage.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::FastTransformation);
    m_history.append(before, currentImage);
    qDebug() << "#DiyPainter# zoom level" << m_zoomLevel << "size" << currentImage.size();
    setFixedSize(currentImage.size());
    move(5, 5);
    // The output area is centred on the resized picture.
    areaRect = DiyLayout::centredArea(currentImage.size(), false);
    areaWidget->move(areaRect.topLeft());
    changed();
    return true;
}

void DiyPainter::enterMoveMode()
{
    if (moveMode)
        return;
    finishPendingForStep();
    areaWidget->move(areaRect.topLeft());
    areaWidget->show();
    areaWidget->raise();
    moveMode = true;
    update();
}

void DiyPainter::leaveMoveMode()
{
    finishPendingForStep();
    areaWidget->hide();
    areaRect.moveTopLeft(areaWidget->pos());
    moveMode = false;
    changed();
}

bool DiyPainter::saveImage(const QString& path)
{
    commitPending();
    if (moveMode)
        leaveMoveMode();
    if (!currentImage.save(path, "png"))
        return false;
    modified = false;
    return true;
}

QImage DiyPainter::composeOutput(QRect area, bool withFloating) const
{
    // The canvas reaches to the output area's far corner: inside it the background shows
    // under the drawing; what lies before the canvas's origin stays transparent.
    const QRect canvas(0, 0, area.left() >= 0 ? area.left() + areaSide : areaSide,
                       area.top() >= 0 ? area.top() + areaSide : areaSide);
    QImage output(areaSide, areaSide, QImage::Format_ARGB32);
    output.fill(qRgba(0, 0, 0, 0));
    QPainter painter(&output);
    painter.translate(-area.topLeft());
    painter.setClipRect(canvas);
    if (m_backgroundColor.isValid())
        painter.fillRect(canvas, m_backgroundColor);
    painter.drawImage(0, 0, currentImage);
    if (withFloating && !shapeWidget->isHidden())
        painter.drawImage(shapeWidget->pos(), shapeWidget->currentImage());
    return output;
}

QImage DiyPainter::getImage()
{
    if (moveMode)
        leaveMoveMode();
    qDebug() << "#DiyPainter# getImage() " << areaRect;
    return composeOutput(areaRect, false);
}

QImage DiyPainter::outputPreview() const
{
    const QRect area = moveMode ? QRect(areaWidget->pos(), QSize(areaSide, areaSide)) : areaRect;
    return composeOutput(area, true);
}

void DiyPainter::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_backgroundColor.isValid())
        painter.fillRect(rect(), m_backgroundColor);
    qDebug() << "paint diyImage " << (currentImage.isNull() ? "true" : "false");
    painter.drawImage(0, 0, currentImage);
    // The shape being dragged out is drawn over the picture, not into a copy of it.
    if (pressing && !isStroke())
        paintShape(painter, startPoint, endPoint);
    if (!moveMode)
        painter.drawImage(areaRect.topLeft(), circleOverlay);
}
