#include "loadimageshandler.h"

#include "convert/imageobject.h"
#include "convert/polarconversion.h"
#include "decodewarnings.h"
#include "looper/message.h"
#include "looper/messagecodes.h"

#include <QDebug>
#include <QFileInfo>
#include <QImageReader>
#include <QStringList>
#include <QThread>

#include <memory>
#include <utility>

namespace {
constexpr int previewSide = 300;
constexpr double importedShowTime = 5.0;
} // namespace

LoadImagesHandler::LoadImagesHandler(HandlerThread* loop) : HandlerMessage(loop)
{
    qRegisterMetaType<Message*>();
}

LoadImagesHandler::~LoadImagesHandler()
{
    // The job on the worker must be over before anything of ours goes.
    stopHandling();
}

QImage LoadImagesHandler::decode(const QString& path, LoadObjectItem::Failure* failure, QString* detail,
                                 QStringList* warnings)
{
    DecodedPicture decoded = decodePicture(path);
    if (!decoded.picture.isNull() && !decoded.picture.size().isEmpty()) {
        *failure = LoadObjectItem::Failure::None;
        if (warnings)
            *warnings = decoded.warnings;
        return std::move(decoded.picture);
    }
    *detail = decoded.errorString;
    const QSize size = decoded.headerSize;
    const QFileInfo file(path);
    if (!file.exists())
        *failure = LoadObjectItem::Failure::Missing;
    else if (!file.isReadable() || decoded.error == QImageReader::DeviceError
             || decoded.error == QImageReader::FileNotFoundError)
        *failure = LoadObjectItem::Failure::CannotOpen;
    else if (decoded.error == QImageReader::UnsupportedFormatError)
        *failure = LoadObjectItem::Failure::UnsupportedFormat;
    else if (size.isValid() && QImageReader::allocationLimit() > 0
             && qint64(size.width()) * size.height() * 4 > qint64(QImageReader::allocationLimit()) * 1024 * 1024)
        *failure = LoadObjectItem::Failure::TooLarge;
    else
        *failure = LoadObjectItem::Failure::Damaged;
    return QImage();
}

void LoadImagesHandler::handleMessage(Message* msg)
{
    if (msg->what != MessageCode::LoadImages)
        return;
    qDebug() << "msg what = " << msg->what;
    if (!msg->obj)
        return;
    const QStringList paths = *static_cast<const QStringList*>(msg->obj);
    for (int i = 0; i < paths.size() && isRunning(); ++i) {
        if (!importFile(i + 1, int(paths.size()), paths.at(i)))
            return;
        qDebug() << "process image " << i + 1;
    }
}

bool LoadImagesHandler::report(Message* msg)
{
    return callOnOwnerThread([this, msg] { emit handlerMessage(msg); });
}

bool LoadImagesHandler::importFile(int index, int count, const QString& path)
{
    // One message and one item for the whole file; both go when this returns.
    auto message = std::make_unique<Message>(this, MessageCode::ImageLoaded);
    auto item = std::make_unique<LoadObjectItem>(index, count, path);
    message->obj = item.get();

    const QImage picture = decode(path, &item->failure, &item->detail, &item->warnings);
    if (picture.isNull()) {
        qDebug() << "#LoadImagesHandler# cannot read" << path << item->detail;
        message->what = MessageCode::ImageUnreadable;
        return isRunning() && report(message.get());
    }
    if (!item->warnings.isEmpty())
        qDebug() << "#LoadImagesHandler# decoded with errors" << path << item->warnings;
    const QImage square = picture.copy(centredSquare(picture.size()));
    item->preview = std::make_unique<QImage>(
        square.scaled(previewSide, previewSide, Qt::KeepAspectRatio, Qt::FastTransformation));
    if (!isRunning() || !report(message.get()) || !isRunning())
        return false;

    message->what = MessageCode::ImageConverted;
    // Number 0: the window numbers the picture when it joins the list.
    auto object = std::make_unique<ImageObject>(0, path, importedShowTime, ImageObject::PictureKind, picture);
    if (square.isNull() || !convertToPolar(square, object.get())) {
        // Memory ran out: the picture is refused, never kept black.
        item->failure = LoadObjectItem::Failure::OutOfMemory;
        message->what = MessageCode::ImageUnreadable;
        return isRunning() && report(message.get());
    }
    if (!report(message.get()) || !isRunning())
        return false;

    message->what = MessageCode::ImageReady;
    // The picture lives on with the window, on the handler's thread.
    object->moveToThread(thread());
    message->obj2 = object.release();
    const bool delivered = report(message.get());
    // Nobody took it (the dialog is going away): it goes with its files.
    delete static_cast<ImageObject*>(message->obj2);
    message->obj2 = nullptr;
    return delivered;
}
