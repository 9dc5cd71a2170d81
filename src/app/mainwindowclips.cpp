// The main window's side of the clip imports: Import GIF runs the GIF import box and adds
// the clip it made to the clip list.
#include "mainwindow.h"

#include "app/appsettings.h"
#include "convert/mediaobject.h"
#include "import/loadgifdialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

void MainWindow::onActionLoadGif()
{
    const QString file = QFileDialog::getOpenFileName(this, tr("dialog_title_load_gif"), AppSettings::openDir,
                                                      tr("gif (*.gif)"));
    if (file.isEmpty())
        return;
    if (QFileInfo::exists(file))
        AppSettings::openDir = QFileInfo(file).absoluteFilePath();
    LoadGifDialog dialog(file, this);
    // A file refused before its first frame needs no import box.
    if (dialog.failureMessage().isEmpty())
        dialog.exec();
    if (!dialog.failureMessage().isEmpty()) {
        QMessageBox::information(this, tr("dialog_title_tip"), dialog.failureMessage(), QMessageBox::Ok);
        return;
    }
    if (dialog.result() != QDialog::Accepted)
        return;
    auto* clip = new MediaObject(0, file);
    clip->isGif = true;
    clip->frames = dialog.takeFrames();
    addClipObject(clip);
}
