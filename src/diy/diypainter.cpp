#include "diypainter.h"

#include "diylayout.h"
#include "diyshape.h"
#include "roundareawidget.h"

#include <QDebug>
#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

using DiyLayout::areaSide;

DiyPainter::DiyPainter(const QString& path, QWidget* parent) : QWidget(parent)
{
    const QImage loaded = path.isEmpty() ? QImage() : QImage(path);
    if (loaded.isNull()) {
        currentImage = QImage(areaSide, areaSide, QImage::Format_ARGB32);
        currentImage.fill(qRgba(255, 255, 255, 0));
        areaRect = QRect(0, 0, areaSide, areaSide);
    } else {
        qDebug() << "111111111111";
        currentImage = loaded.convertToFormat(QImage::Format_ARGB32);
        areaRect = DiyLayout::centredArea(currentImage.size());
    }
    setFixedSize(currentImage.size());
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

    m_history.append(currentImage);

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

QSizeF DiyPainter::viewScale() const
{
    bool refused = false;
    const QSize view = DiyLayout::zoomedSize(currentImage.size(), m_zoomLevel, &refused);
    if (refused || currentImage.isNull())
        return QSizeF(1, 1);
    return QSizeF(qreal(view.width()) / currentImage.width(), qreal(view.height()) / currentImage.height());
}

QSize DiyPainter::toViewSize(QSize imageSize) const
{
    const QSizeF scale = viewScale();
    return QSize(qMax(1, qRound(imageSize.width() * scale.width())),
                 qMax(1, qRound(imageSize.height() * scale.height())));
}

QPointF DiyPainter::viewToImage(QPointF viewPoint) const
{
    const QSizeF scale = viewScale();
    return QPointF(viewPoint.x() / scale.width(), viewPoint.y() / scale.height());
}

QPoint DiyPainter::imageToView(QPoint imagePoint) const
{
    const QSizeF scale = viewScale();
    return QPoint(qRound(imagePoint.x() * scale.width()), qRound(imagePoint.y() * scale.height()));
}

QPoint DiyPainter::imagePointAt(QPointF viewPoint) const
{
    // The picture pixel under the middle of the view pixel the mouse is on.
    const QPointF at = viewToImage(viewPoint + QPointF(0.5, 0.5));
    return QPoint(qFloor(at.x()), qFloor(at.y()));
}

QPoint DiyPainter::placeInPicture(const QWidget* child, QPoint placed) const
{
    // Only a drag moves a child: the view's rounding must not shift it by itself.
    if (child->pos() == imageToView(placed))
        return placed;
    const QPointF at = viewToImage(child->pos());
    return QPoint(qRound(at.x()), qRound(at.y()));
}

void DiyPainter::styleTextField()
{
    // The field shows the text as large as it will be drawn at this zoom.
    QFont shown = textFont;
    const qreal scale = viewScale().height();
    if (textFont.pointSizeF() > 0)
        shown.setPointSizeF(textFont.pointSizeF() * scale);
    else
        shown.setPixelSize(qMax(1, qRound(textFont.pixelSize() * scale)));
    textEdit->setFont(shown);
    textEdit->setFixedHeight(QFontMetrics(shown).height());
    textEdit->setAutoFillBackground(true);
    QPalette palette = textEdit->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Text, textColor.isValid() ? textColor : QColor(Qt::black));
    textEdit->setPalette(palette);
    onTextChanged(textEdit->text());
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
    m_history.append(currentImage);
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
    // Something new floats: what was undone before it can no longer be redone.
    m_history.clearRedo();
    floatingPos = topLeft;
    shapeWidget->setCurrentImage(picture);
    shapeWidget->setGeometry(QRect(imageToView(topLeft), toViewSize(picture.size())));
    shapeWidget->show();
    shapeWidget->raise();
    pressing = false;
    changed();
}

void DiyPainter::mousePressEvent(QMouseEvent* event)
{
    if (moveMode || event->button() != Qt::LeftButton)
        return;
    const QPoint position = imagePointAt(event->position());
    qDebug() << "DiyPainter::mousePressEvent x = " << position.x() << ", y = " << position.y();
    endStroke();
    if (textEdit->text().isEmpty())
        textEdit->hide();
    if (!textEdit->isHidden()) {
        onTextPressEnter();
    } else if (enterDiyShape()) {
        startPoint = QPoint(0, 0);  // this press only stamps
    } else if (tool == Text) {
        textAnchor = position;
        textEdit->clear();
        styleTextField();
        textEdit->move(imageToView(position));
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
    endPoint = imagePointAt(event->position());
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
    endPoint = imagePointAt(event->position());
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
    showFloating(renderFloatingShape(), placeInPicture(shapeWidget, floatingPos));
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
    const QPoint anchor = !textEdit->isHidden() ? textAnchor : placeInPicture(shapeWidget, floatingPos);
    const QString text = textEdit->text();
    if (text.isEmpty()) {
        textEdit->hide();
        return;
    }
    QImage canvas(currentImage.size(), QImage::Format_ARGB32);
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
    const QPoint at = placeInPicture(shapeWidget, floatingPos);
    qDebug() << "DiyPainter::enterDiyShape x = " << at.x() << ", y = " << at.y();
    QPainter painter(&currentImage);
    painter.drawImage(at, shapeWidget->currentImage());
    painter.end();
    shapeWidget->setCurrentImage(QImage());
    shapeWidget->hide();
    m_history.append(currentImage);
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
    setPicture(m_history.last().picture);
    pressing = false;
    changed();
}

bool DiyPainter::redo()
{
    qDebug() << "DiyPainter::redo()";
    if (!textEdit->isHidden())
        return false;
    endStroke();  // a stroke under way is a new step, after which nothing is redone
    startPoint = QPoint(0, 0);
    if (!m_history.restoreNext())
        return false;
    setPicture(m_history.last().picture);
    pressing = false;
    modified = true;
    changed();
    return true;
}

void DiyPainter::setPicture(const QImage& picture)
{
    currentImage = picture;
    setFixedSize(toViewSize(currentImage.size()));
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
    if (currentImage.isNull())
        return false;
    endStroke();
    finishPendingForStep();
    bool refused = false;
    const QSize size = DiyLayout::zoomedSize(currentImage.size(), m_zoomLevel + direction, &refused);
    if (refused)
        return false;
    m_zoomLevel += direction;
    qDebug() << "#DiyPainter# zoom level" << m_zoomLevel << "view" << size;
    // Whatever floated was stamped above and Move mode has ended: only the view changes.
    setFixedSize(size);
    update();
    return true;
}

void DiyPainter::enterMoveMode()
{
    if (moveMode)
        return;
    finishPendingForStep();
    areaWidget->setViewScale(viewScale().width());
    areaWidget->move(imageToView(areaRect.topLeft()));
    areaWidget->show();
    areaWidget->raise();
    moveMode = true;
    update();
}

void DiyPainter::leaveMoveMode()
{
    finishPendingForStep();
    areaWidget->hide();
    areaRect.moveTopLeft(placeInPicture(areaWidget, areaRect.topLeft()));
    moveMode = false;
    changed();
}

bool DiyPainter::saveImage(const QString& path)
{
    commitPending();
    if (moveMode)
        leaveMoveMode();
    // The file shows what the user sees: the drawing over the background it was made on.
    QImage whole(currentImage.size(), QImage::Format_ARGB32);
    whole.fill(m_backgroundColor.isValid() ? m_backgroundColor : QColor(Qt::transparent));
    QPainter painter(&whole);
    painter.drawImage(0, 0, currentImage);
    painter.end();
    if (!whole.save(path, "png"))
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
        painter.drawImage(placeInPicture(shapeWidget, floatingPos), shapeWidget->currentImage());
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
    const QPoint topLeft = moveMode ? placeInPicture(areaWidget, areaRect.topLeft()) : areaRect.topLeft();
    return composeOutput(QRect(topLeft, QSize(areaSide, areaSide)), true);
}

void DiyPainter::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_backgroundColor.isValid())
        painter.fillRect(rect(), m_backgroundColor);
    qDebug() << "paint diyImage " << (currentImage.isNull() ? "true" : "false");
    // The view of the picture at the zoom: every pixel a block when magnified.
    const QSizeF scale = viewScale();
    painter.scale(scale.width(), scale.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, scale.width() < 1);
    painter.drawImage(0, 0, currentImage);
    // The shape being dragged out is drawn over the picture, not into a copy of it.
    if (pressing && !isStroke())
        paintShape(painter, startPoint, endPoint);
    if (!moveMode) {
        painter.translate(areaRect.topLeft());
        paintRoundArea(painter, false);
    }
}
