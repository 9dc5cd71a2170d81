#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "playlist/customtablemodel.h"
#include "support/testtempdir.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

namespace {

// Pictures with real thumbnail files, so that deletion can be seen on disk.
QList<CustomTableItem*> pictureRows(const QString& source, int count)
{
    QList<CustomTableItem*> rows;
    for (int i = 0; i < count; ++i)
        rows.append(new CustomTableItem{new ImageObject(i + 1, source, 5.0, ImageObject::PictureKind)});
    return rows;
}

int numberAt(const CustomTableModel& model, int row)
{
    return model.data(model.index(row, 0)).value<CustomTableItem>().object->number;
}

} // namespace

class CustomTableModelTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTestTempRoot();
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::green);
        QVERIFY(picture.save(source.filePath("p.png")));
    }

    void delRowRenumbersAndDeletesFiles()
    {
        CustomTableModel model(pictureRows(source.filePath("p.png"), 5), 1, -1);
        auto* removed = static_cast<ImageObject*>(model.items().at(1)->object);
        const QString removedFile = removed->thumbnailPath();
        QVERIFY(QFile::exists(removedFile));

        QSignalSpy aboutToRemove(&model, &QAbstractItemModel::rowsAboutToBeRemoved);
        QTest::ignoreMessage(QtDebugMsg, "#CustomTableModel# delRow  1 ,  1");
        for (int number : {2, 3, 4})
            QTest::ignoreMessage(QtDebugMsg,
                                 qPrintable(QString("#CustomTableModel# delRow() index changed.  %1").arg(number)));
        model.delRow(1, 1);
        QCOMPARE(aboutToRemove.size(), 1);
        QCOMPARE(aboutToRemove.first().at(1).toInt(), 1);
        QCOMPARE(aboutToRemove.first().at(2).toInt(), 1);
        QCOMPARE(model.rowCount(), 4);
        QVERIFY(!QFile::exists(removedFile));
        for (int row = 0; row < 4; ++row)
            QCOMPARE(numberAt(model, row), row + 1);

        // Emptying the model deletes every object and renumbers nothing.
        QStringList files;
        for (CustomTableItem* item : model.items())
            files << static_cast<ImageObject*>(item->object)->thumbnailPath();
        model.delRow(0, 4);
        QCOMPARE(model.rowCount(), 0);
        for (const QString& file : files)
            QVERIFY2(!QFile::exists(file), qPrintable(file));
    }

    void delRowOutOfRangeChangesNothing()
    {
        CustomTableModel model(pictureRows(source.filePath("p.png"), 4), 1, -1);
        QSignalSpy aboutToRemove(&model, &QAbstractItemModel::rowsAboutToBeRemoved);
        model.delRow(3, 2);
        model.delRow(-1, 1);
        model.delRow(0, 0);
        model.delRow(4, 1);
        QCOMPARE(aboutToRemove.size(), 0);
        QCOMPARE(model.rowCount(), 4);
        model.delRow(0, 4);
    }

    void clipRowsDeleteTheirFrames()
    {
        auto* clip = new MediaObject(1, "clip.gif");
        clip->frames = {new ImageObject(1, source.filePath("p.png"), 0.0, ImageObject::GifFrameKind)};
        const QString frameFile = clip->frames.first()->thumbnailPath();
        QVERIFY(QFile::exists(frameFile));
        CustomTableModel model({new CustomTableItem{clip}}, 1, -1);
        model.delRow(0, 1);
        QVERIFY(!QFile::exists(frameFile));
    }

    void appendAnnouncesTheNewRows()
    {
        CustomTableModel model(pictureRows(source.filePath("p.png"), 3), 1, -1);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        model.appendItems(pictureRows(source.filePath("p.png"), 2));
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted.first().at(1).toInt(), 3);
        QCOMPARE(inserted.first().at(2).toInt(), 4);
        model.appendItems({});
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(model.rowCount(), 5);
        model.delRow(0, 5);
    }

    void resetHandsTheOldRowsBack()
    {
        QList<CustomTableItem*> old = pictureRows(source.filePath("p.png"), 2);
        CustomTableModel model(old, 1, -1);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.resetItems({});
        QCOMPARE(reset.size(), 1);
        QCOMPARE(model.rowCount(), 0);
        // Still alive and still ours: the files are there.
        QVERIFY(QFile::exists(static_cast<ImageObject*>(old.first()->object)->thumbnailPath()));
        for (CustomTableItem* item : old) {
            delete item->object;
            delete item;
        }
    }

    void checkStatesAndRoles()
    {
        // No check column: the check role is invalid everywhere, setData refuses.
        CustomTableModel plain(pictureRows(source.filePath("p.png"), 2), 1, -1);
        for (int row = 0; row < 2; ++row)
            QVERIFY(!plain.data(plain.index(row, 0), Qt::CheckStateRole).isValid());
        QVERIFY(!plain.setData(plain.index(0, 0), 2, Qt::CheckStateRole));
        QVERIFY(!plain.data(plain.index(5, 0)).isValid());
        QVERIFY(!plain.data(plain.index(0, 0), Qt::DecorationRole).isValid());
        QVERIFY(plain.data(plain.index(0, 0), Qt::EditRole).canConvert<CustomTableItem>());
        QCOMPARE(plain.flags(plain.index(0, 0)) & Qt::ItemIsEditable, Qt::ItemIsEditable);
        QVERIFY(plain.flags(QModelIndex()) & Qt::ItemIsDropEnabled);
        QVERIFY(plain.supportedDropActions() & Qt::MoveAction);
        plain.delRow(0, 2);

        CustomTableModel checked(pictureRows(source.filePath("p.png"), 3), 2, 1);
        QCOMPARE(int(checked.flags(checked.index(0, 1))), 0x33);
        QCOMPARE(checked.data(checked.index(0, 1), Qt::CheckStateRole).toInt(), 0);
        QVERIFY(checked.setData(checked.index(0, 1), 2, Qt::CheckStateRole));
        QCOMPARE(checked.data(checked.index(0, 1), Qt::CheckStateRole).toInt(), 2);
        QVERIFY(checked.setData(checked.index(0, 1), 1, Qt::CheckStateRole));  // anything but 2 unchecks
        QCOMPARE(checked.data(checked.index(0, 1), Qt::CheckStateRole).toInt(), 0);
        QVERIFY(!checked.data(checked.index(0, 0), Qt::CheckStateRole).isValid());

        QSignalSpy changed(&checked, &QAbstractItemModel::dataChanged);
        checked.onCheckSectionClicked(true);
        QCOMPARE(changed.size(), 3);
        for (int row = 0; row < 3; ++row)
            QCOMPARE(checked.data(checked.index(row, 1), Qt::CheckStateRole).toInt(), 2);
        checked.delRow(0, 3);
        changed.clear();
        checked.onCheckSectionClicked(true);  // empty model: nothing to announce
        QCOMPARE(changed.size(), 0);
    }

    void headersAndSortKeepOrder()
    {
        CustomTableModel model(pictureRows(source.filePath("p.png"), 3), 1, -1);
        QVERIFY(!model.headerData(0, Qt::Horizontal).isValid());
        QVERIFY(model.setHeaderData(0, Qt::Horizontal, 12));
        QCOMPARE(model.headerData(0, Qt::Horizontal), QVariant(QString("12")));
        QVERIFY(!model.setHeaderData(0, Qt::Vertical, "x"));

        const QList<CustomTableItem*> before = model.items();
        QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
        model.sort(0, Qt::DescendingOrder);
        QCOMPARE(layout.size(), 1);
        QCOMPARE(model.items(), before);
        model.delRow(0, 3);
    }

private:
    QTemporaryDir source;
};

QTEST_GUILESS_MAIN(CustomTableModelTest)
#include "tst_customtablemodel.moc"
