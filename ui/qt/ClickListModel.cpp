#include "ui/qt/ClickListModel.h"

#include "control/ClickListController.h"
#include "platform/ErrorGuard.h"

namespace {
Qt::Alignment toQt(TColumnAlignment alignment) {
    switch (alignment) {
    case TColumnAlignment::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case TColumnAlignment::Center:
        return Qt::AlignCenter;
    case TColumnAlignment::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}
} // namespace

TClickListModel::TClickListModel(QObject* parent) : QAbstractTableModel(parent) {}

void TClickListModel::setController(TClickListController* controller) {
    m_controller = controller;
    rowsReset();
}

// Columns and rows change by insertions and removals, never by a model reset: a reset would make the header forget
// the widths, order and visibility the controller gave it.
void TClickListModel::clearColumns() {
    if (m_captions.isEmpty())
        return;
    beginRemoveColumns({}, 0, int(m_captions.size()) - 1);
    m_captions.clear();
    m_alignments.clear();
    endRemoveColumns();
}

void TClickListModel::addColumn(const QString& caption) {
    const int column = int(m_captions.size());
    beginInsertColumns({}, column, column);
    m_captions.append(caption);
    m_alignments.append(Qt::AlignLeft | Qt::AlignVCenter);
    endInsertColumns();
}

void TClickListModel::setColumnAlignment(int column, TColumnAlignment alignment) {
    if (column < 0 || column >= m_alignments.size())
        return;
    m_alignments[column] = toQt(alignment);
    repaintAll();
}

void TClickListModel::setMainColumn(int column) {
    m_mainColumn = column;
    repaintAll();
}

void TClickListModel::rowsReset() {
    if (m_rows > 0) {
        beginRemoveRows({}, 0, m_rows - 1);
        m_rows = 0;
        endRemoveRows();
    }
    const int rows = m_controller ? m_controller->RowCount() : 0;
    if (rows > 0) {
        beginInsertRows({}, 0, rows - 1);
        m_rows = rows;
        endInsertRows();
    }
}

void TClickListModel::rowInserted(int row) {
    if (!m_controller || row < 0 || row > m_rows)
        return rowsReset();
    beginInsertRows({}, row, row);
    ++m_rows;
    endInsertRows();
}

void TClickListModel::rowRemoved(int row) {
    if (!m_controller || row < 0 || row >= m_rows)
        return rowsReset();
    beginRemoveRows({}, row, row);
    --m_rows;
    endRemoveRows();
}

void TClickListModel::repaintRow(int row) {
    if (row >= 0 && row < m_rows && !m_captions.isEmpty())
        emit dataChanged(index(row, 0), index(row, int(m_captions.size()) - 1));
}

void TClickListModel::repaintAll() {
    if (m_rows > 0 && !m_captions.isEmpty())
        emit dataChanged(index(0, 0), index(m_rows - 1, int(m_captions.size()) - 1));
}

int TClickListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int TClickListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_captions.size());
}

QVariant TClickListModel::cellText(int row, int column) const {
    QVariant text;
    runGuarded([&] { text = QString::fromStdString(m_controller->GetCellText(row, column)); });
    return text;
}

QVariant TClickListModel::rowTip(int row) const {
    QVariant tip;
    runGuarded([&] { tip = QString::fromStdString(m_controller->GetRowTip(row)); });
    return tip;
}

QVariant TClickListModel::data(const QModelIndex& index, int role) const {
    if (!m_controller || !index.isValid() || index.row() >= m_controller->RowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row(), index.column());
    case Qt::CheckStateRole:
        if (index.column() != m_mainColumn)
            return {};
        return m_controller->RowChecked(index.row()) ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(m_alignments.value(index.column()));
    case Qt::ToolTipRole:
        return rowTip(index.row());
    default:
        return {};
    }
}

bool TClickListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!m_controller || role != Qt::CheckStateRole || index.column() != m_mainColumn ||
        index.row() >= m_controller->RowCount())
        return false;
    const bool checked = value.toInt() == Qt::Checked;
    runGuarded([&] { m_controller->NodeChecked(index.row(), checked); });
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags TClickListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == m_mainColumn)
        result |= Qt::ItemIsUserCheckable;
    return result;
}

QVariant TClickListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_captions.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_captions[section];
    return {};
}
