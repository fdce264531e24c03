#pragma once

#include "control/ClickListView.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

class TClickListController;

// The click list as a table over the controller: cell texts and check states are asked of the controller each time
// they are painted, so the model keeps only the columns and how many rows the view has been told about.
class TClickListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TClickListModel(QObject* parent = nullptr);

    // Rows are shown only once the controller exists; until then the controller's row notices are ignored.
    void setController(TClickListController* controller);

    void clearColumns();
    void addColumn(const QString& caption);
    void setColumnAlignment(int column, TColumnAlignment alignment);
    void setMainColumn(int column);
    int mainColumn() const { return m_mainColumn; }

    void rowsReset();
    void rowInserted(int row);
    void rowRemoved(int row);
    void repaintRow(int row);
    void repaintAll();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVariant rowTip(int row) const;
    QVariant cellText(int row, int column) const;

    TClickListController* m_controller = nullptr;
    QStringList m_captions;
    QVector<Qt::Alignment> m_alignments;
    int m_mainColumn = 0;
    int m_rows = 0;
};
