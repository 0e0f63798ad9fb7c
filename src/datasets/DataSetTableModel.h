#pragma once

#include <QAbstractTableModel>

#include "datasets/DataSetRows.h"

namespace vx {

// Presents the data-set rows to the table view. Appends are announced as they
// happen, so a whole store of rows costs one insertion.
class DataSetTableModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit DataSetTableModel(DataSetRows& rows, QObject* parent = nullptr);
    ~DataSetTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  signals:
    // Rows were appended; the view scrolls the newest into sight.
    void rowsAppended();

  private:
    DataSetRows& rows_;
};

}  // namespace vx
