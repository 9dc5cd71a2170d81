// The main window's side of the contrast of a picture: the dialog for the current row and
// the refresh of the row and the preview after each adjustment.

#include "mainwindow.h"

#include "convert/imageobject.h"
#include "import/updateimagecontract.h"
#include "playlist/customtablemodel.h"
#include "playmediahandler.h"

#include <QDebug>
#include <QTableView>

void MainWindow::updateImageContract()
{
    ImageObject* picture = currentPicture();
    if (!picture)
        return;
    {
        UpdateImageContract dialog(m_handler.get(), picture, this);
        connect(&dialog, &UpdateImageContract::onImageContractChanged, this,
                &MainWindow::onImageContractChanged);
        dialog.exec();
    }
    const QModelIndex index = m_pictureModel->index(m_pictureModel->rowOf(picture), 0);
    if (index.isValid())
        m_pictureModel->refrehItem(index);
}

void MainWindow::onImageContractChanged(QObject* object)
{
    // Sent from the worker: the row may have gone while the news was on its way.
    const QModelIndex index = m_pictureModel->index(m_pictureModel->rowOf(object), 0);
    if (!index.isValid()) {
        qDebug() << "#MainWindow# onImageContractChanged() picture no longer listed";
        return;
    }
    auto* picture = static_cast<ImageObject*>(object);
    showInPreview(picture);
    refreshPictureRow(index);
}
