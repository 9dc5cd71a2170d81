// The main window's side of the drawing editor: New DIY draws a picture and adds it to the
// list as a DIY picture; Picture editing opens an imported or DIY picture in the editor
// and converts it again in place.
#include "mainwindow.h"

#include "app/appsettings.h"
#include "convert/imageobject.h"
#include "convert/polarconversion.h"
#include "diy/diyform.h"
#include "diy/diypainter.h"
#include "playlist/customtablemodel.h"

#include <QDebug>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QToolBox>

namespace {
// DIY pictures in the temporary directory are numbered for the whole process.
int nextDiyNumber = 1;
} // namespace

void MainWindow::setupDiy()
{
    actionNewDiy->setEnabled(true);
    connect(actionNewDiy, &QAction::triggered, this, &MainWindow::onActionNewDiy);
    connect(btnEditImage, &QPushButton::clicked, this, &MainWindow::onBtnEditDiy);
}

bool MainWindow::saveDiyPicture(const QImage& picture, const QString& path, const char* format)
{
    if (picture.save(path, format))
        return true;
    qDebug() << "#MainWindow# cannot save the drawing to" << path;
    QMessageBox::information(this, tr("dialog_title_tip"), tr("diy_save_failed").arg(path), QMessageBox::Ok);
    return false;
}

void MainWindow::onActionNewDiy()
{
    DiyForm form(QString(), AppSettings::language, this);
    form.resize(size());
    if (form.exec() != QDialog::Accepted)
        return;
    const QImage picture = form.canvas()->getImage();
    const QString path = AppSettings::ensureTempDir() + QStringLiteral("diy_")
                         + QString::number(nextDiyNumber++) + QStringLiteral(".png");
    if (!saveDiyPicture(picture, path, "png"))
        return;
    auto* object = new ImageObject(nextPictureNumber(), path, 5.0, ImageObject::DiyKind, picture);
    convertToPolar(picture, object);
    m_pictureModel->appendItems({new CustomTableItem{object}});
    toolBox->setCurrentWidget(page);
}

void MainWindow::onBtnEditDiy()
{
    ImageObject* picture = currentPicture();
    if (!picture || !picture->editable())
        return;
    qDebug() << "#MainWindow# onBtnEditDiy()";
    const QPersistentModelIndex row = tableView->currentIndex();
    DiyForm form(picture->sourcePath, AppSettings::language, this);
    form.resize(size());
    if (form.exec() != QDialog::Accepted)
        return;
    // The picture's file is rewritten in its own format: an imported JPEG stays a JPEG.
    if (!saveDiyPicture(form.canvas()->getImage(), picture->sourcePath, nullptr))
        return;
    const QImage saved(picture->sourcePath);
    picture->prepareSource(saved);
    convertToPolar(saved, picture);
    showInPreview(picture);
    if (row.isValid())
        refreshPictureRow(row);
    toolBox->setCurrentWidget(page);
}
