#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QMap>

#include "customtableitem.h"

// The rows of one playlist. The model owns its records and the objects they point to:
// delRow deletes both. The destructor deletes neither, and resetItems hands the old rows
// back to the caller. GUI thread only.
class CustomTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    CustomTableModel(const QList<CustomTableItem*>& items, int columnCount, int checkColumn,
                     QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;
    Qt::DropActions supportedDropActions() const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void appendItems(const QList<CustomTableItem*>& list);
    void resetItems(const QList<CustomTableItem*>& list);
    void delRow(int start, int count);
    void refrehItem(const QModelIndex& index);

    const QList<CustomTableItem*>& items() const { return rows; }
    // The row of an object in the list, or -1 when it is no longer there.
    int rowOf(const QObject* object) const;

public slots:
    void onCheckSectionClicked(bool isCheckAll);

private:
    QList<CustomTableItem*> rows;
    QHash<int, QVariant> headerTexts;
    int columns;
    int checkColumn;
    QMap<int, int> checkStates;  // by row number; not moved when rows change
};
