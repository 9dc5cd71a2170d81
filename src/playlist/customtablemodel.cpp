#include "customtablemodel.h"

#include "convert/playlistobject.h"

#include <QDebug>

CustomTableModel::CustomTableModel(const QList<CustomTableItem*>& items, int columnCount,
                                   int checkColumn, QObject* parent)
    : QAbstractTableModel(parent), rows(items), columns(columnCount), checkColumn(checkColumn)
{
    static const int registered = qRegisterMetaType<CustomTableItem>("CustomTableItem");
    Q_UNUSED(registered);
}

int CustomTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int CustomTableModel::columnCount(const QModelIndex&) const
{
    return columns;
}

QVariant CustomTableModel::data(const QModelIndex& index, int role) const
{
    if (index.row() < 0 || index.row() >= rows.size())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QVariant::fromValue(*rows.at(index.row()));
    case Qt::CheckStateRole:
        if (index.column() != checkColumn)
            return QVariant();
        return checkStates.value(index.row(), Qt::Unchecked) == Qt::Checked ? Qt::Checked
                                                                            : Qt::Unchecked;
    default:
        return QVariant();
    }
}

bool CustomTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || index.column() != checkColumn)
        return false;
    checkStates[index.row()] = value == QVariant(int(Qt::Checked)) ? Qt::Checked : Qt::Unchecked;
    emit dataChanged(index, index);
    return true;
}

QVariant CustomTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal) {
        const auto found = headerTexts.constFind(section);
        return found == headerTexts.constEnd() ? QVariant() : QVariant(found->toString());
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool CustomTableModel::setHeaderData(int section, Qt::Orientation orientation,
                                     const QVariant& value, int)
{
    if (orientation == Qt::Vertical)
        return false;
    headerTexts.insert(section, value);
    return true;
}

Qt::DropActions CustomTableModel::supportedDropActions() const
{
    return QAbstractTableModel::supportedDropActions() | Qt::MoveAction;
}

Qt::ItemFlags CustomTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return QAbstractTableModel::flags(index) | Qt::ItemIsEditable | Qt::ItemIsDropEnabled;
    if (index.column() == checkColumn)
        return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsUserCheckable
               | Qt::ItemIsEnabled;
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

void CustomTableModel::sort(int, Qt::SortOrder)
{
    // The playlist order is the user's: sorting only asks the views to lay out again.
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}

void CustomTableModel::onCheckSectionClicked(bool isCheckAll)
{
    for (int r = 0; r < rowCount(); ++r) {
        checkStates[r] = isCheckAll ? Qt::Checked : Qt::Unchecked;
        const QModelIndex cell = index(r, 0);
        emit dataChanged(cell, cell);
    }
}

void CustomTableModel::appendItems(const QList<CustomTableItem*>& list)
{
    if (list.isEmpty())
        return;  // an empty insertion (last < first) is not a valid announcement
    const int first = int(rows.size());
    beginInsertRows(QModelIndex(), first, first + int(list.size()) - 1);
    rows.append(list);
    endInsertRows();
}

void CustomTableModel::resetItems(const QList<CustomTableItem*>& list)
{
    beginResetModel();
    rows = list;
    endResetModel();
}

void CustomTableModel::delRow(int start, int count)
{
    if (count < 1 || start < 0 || rows.size() < qsizetype(start) + count)
        return;
    beginRemoveRows(QModelIndex(), start, start + count - 1);
    for (int n = 0; n < count; ++n) {
        qDebug().noquote() << "#CustomTableModel# delRow " << start << ", " << count;
        CustomTableItem* item = rows.takeAt(start);
        delete item->object;  // an ImageObject removes its files, a MediaObject its frames
        delete item;
    }
    for (int i = start; i < rows.size(); ++i) {
        if (PlaylistObject* object = rows.at(i)->object)
            object->number = i + 1;
        qDebug().noquote() << "#CustomTableModel# delRow() index changed. " << i + 1;
    }
    endRemoveRows();
}

void CustomTableModel::refrehItem(const QModelIndex& index)
{
    qDebug() << "#CustomTableModel# refrehItem() " << index;
    emit dataChanged(index, index);
}

int CustomTableModel::rowOf(const QObject* object) const
{
    for (int row = 0; row < rows.size(); ++row) {
        if (rows.at(row)->object == object)
            return row;
    }
    return -1;
}
