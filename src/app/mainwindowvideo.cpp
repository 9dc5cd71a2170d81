// The main window's side of Import Video: the dialog cuts the frames, the window wraps
// them into a clip of the video list.
#include "mainwindow.h"

#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "import/loadmediadialog.h"

void MainWindow::onActionLoadMedia() { importVideo(QString()); }

bool MainWindow::importVideo(const QString& path)
{
    LoadMediaDialog dialog(this);
    // Without libVLC the dialog says so and refuses; the program and its playlist go on.
    const bool opened = path.isEmpty() ? dialog.openMediaFile() : dialog.openMediaFile(path);
    if (!opened || dialog.exec() != QDialog::Accepted)
        return false;
    const QList<ImageObject*> frames = dialog.takeImageObjects();
    if (frames.isEmpty())
        return false;
    auto* clip = new MediaObject(0, dialog.mediaPath());
    clip->frames = frames;
    addClipObject(clip);
    return true;
}
