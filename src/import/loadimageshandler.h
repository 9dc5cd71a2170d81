#pragma once

#include "looper/handlermessage.h"
#include "loadobjectitem.h"

#include <QImage>

class Message;

// The picture import's work on the shared worker thread: for each picked file, in order,
// decode it, cut its centred square, make the ImageObject and convert it to polar form.
//
// Threads: created and destroyed on the GUI thread (by LoadImagesDialog); handleMessage
// runs on the worker. Every report is emitted on the handler's own thread through
// callOnOwnerThread, and the worker waits until the receiving slots have returned, so the
// item, the message and the picture are never used by both threads at once. The
// destructor stops the job: the worker drops the file under work at its next check and
// the destructor returns only once handleMessage has, so nothing the job uses is freed
// under it and nothing it made is left behind.
//
// Reports, signal handlerMessage(Message*), with obj = the file's LoadObjectItem:
// - ImageLoaded: decoded and cut, the item holds the preview;
// - ImageConverted: the picture's polar form and files are written;
// - ImageReady: obj2 = the ImageObject. A slot that keeps it sets obj2 to null; whatever
//   is still in obj2 afterwards is deleted by the handler. The item's warnings are not
//   empty when the picture decoded with errors (its damaged part blank);
// - ImageUnreadable: the file gave no picture, the item says why; the import goes on.
// The message and the item belong to the handler and are gone after the emission.
class LoadImagesHandler : public HandlerMessage
{
    Q_OBJECT
public:
    explicit LoadImagesHandler(HandlerThread* loop);
    ~LoadImagesHandler() override;

    // LoadImages: obj points to a QStringList that outlives the handler's job.
    void handleMessage(Message* msg) override;

    // Decodes a picture file; a null picture with the reason when it gives none, and what
    // the decoder warned about when it decoded with errors.
    static QImage decode(const QString& path, LoadObjectItem::Failure* failure, QString* detail,
                         QStringList* warnings = nullptr);

signals:
    void handlerMessage(Message* msg);

private:
    // False when the import must stop.
    bool importFile(int index, int count, const QString& path);
    // Emits msg on the GUI thread and waits; false when the handler is being destroyed.
    bool report(Message* msg);
};
