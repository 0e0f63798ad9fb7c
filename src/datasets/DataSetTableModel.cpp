#include "datasets/DataSetTableModel.h"

namespace vx {

DataSetTableModel::DataSetTableModel(DataSetRows& rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows) {
    using Change = DataSetRows::Change;
    rows_.SetObserver({
        [this](Change change, int first, int last) {
            switch (change) {
                case Change::Append:
                    beginInsertRows({}, first, last);
                    break;
                case Change::Remove:
                    beginRemoveRows({}, first, last);
                    break;
                case Change::Clear:
                    beginResetModel();
                    break;
                case Change::Captions:
                    break;
            }
        },
        [this](Change change) {
            switch (change) {
                case Change::Append:
                    endInsertRows();
                    emit rowsAppended();
                    break;
                case Change::Remove:
                    endRemoveRows();
                    break;
                case Change::Clear:
                    endResetModel();
                    break;
                case Change::Captions:
                    emit headerDataChanged(Qt::Horizontal, 0, kTableColumns - 1);
                    break;
            }
        },
    });
}

DataSetTableModel::~DataSetTableModel() {
    rows_.SetObserver({});
}

int DataSetTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_.Count();
}

int DataSetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kTableColumns;
}

QVariant DataSetTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_.Count()) {
        return {};
    }
    return QString::fromStdString(rows_.Row(index.row())[index.column()]);
}

QVariant DataSetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= kTableColumns) {
        return {};
    }
    return QString::fromStdString(rows_.Captions()[section]);
}

}  // namespace vx
