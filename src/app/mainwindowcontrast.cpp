// The main window's side of the contrast of a picture: the dialog for the current row and
// the refresh of the row and the preview after each adjustment.

#include "mainwindow.h"

#include "convert/imageobject.h"
#include "import/updateimagecontract.h"
#include "playlist/customtablemodel.h"
#include "playlist/imageobjectwidget.h"
#include "playmediahandler.h"

#include <QDebug>
#include <QTableView>

namespace {

// The row of a picture in the list, or an invalid index when it is no longer there.
QModelIndex rowOf(const CustomTableModel& model, const QObject* picture)
{
    const QList<CustomTableItem*>& items = model.items();
    for (int row = 0; row < items.size(); ++row) {
        if (items.at(row)->object == picture)
            return model.index(row, 0);
    }
    return QModelIndex();
}

} // namespace

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
    const QModelIndex index = rowOf(*m_pictureModel, picture);
    if (index.isValid())
        m_pictureModel->refrehItem(index);
}

void MainWindow::onImageContractChanged(QObject* object)
{
    // Sent from the worker: the row may have gone while the news was on its way.
    const QModelIndex index = rowOf(*m_pictureModel, object);
    if (!index.isValid()) {
        qDebug() << "#MainWindow# onImageContractChanged() picture no longer listed";
        return;
    }
    auto* picture = static_cast<ImageObject*>(object);
    showInPreview(picture);
    m_pictureModel->refrehItem(index);
    // An open row editor shows its own copy of the thumbnail.
    if (auto* editor = qobject_cast<ImageObjectWidget*>(tableView->indexWidget(index)))
        editor->onImageContractChanged(editor);
}
