#include "widgets/ReportModel.h"

namespace tavlix {

ReportModel::ReportModel(QObject* parent)
    : QAbstractTableModel(parent) {}

QStringList ReportModel::headers() const {
    QStringList out;
    out.reserve(m_columns.size());
    for (const ColumnSpec& c : m_columns)
        out << c.header;
    return out;
}

void ReportModel::clearColumns() {
    setColumns({});
}

void ReportModel::addColumn(const ColumnSpec& column) {
    const int at = columnTotal();
    beginInsertColumns(QModelIndex(), at, at);
    m_columns.append(column);
    endInsertColumns();
    emit columnsRebuilt();
}

void ReportModel::setColumns(const QList<ColumnSpec>& specs) {
    beginResetModel();
    m_columns = specs;
    endResetModel();
    emit columnsRebuilt();
}

void ReportModel::removeColumnsWithCells(int first, int count) {
    if (count <= 0 || first < 0 || first >= columnTotal())
        return;
    count = std::min(count, columnTotal() - first);
    beginRemoveColumns(QModelIndex(), first, first + count - 1);
    m_columns.remove(first, count);
    for (QStringList& row : m_rows) {
        if (row.size() > first)
            row.remove(first, std::min<qsizetype>(count, row.size() - first));
    }
    endRemoveColumns();
    emit columnsRebuilt();
}

int ReportModel::findColumn(const QString& header, int from) const {
    for (int c = std::max(0, from); c < columnTotal(); ++c) {
        if (m_columns.at(c).header == header)
            return c;
    }
    return -1;
}

QString ReportModel::cell(int row, int col) const {
    if (row < 0 || row >= rowTotal() || col < 0)
        return QString();
    const QStringList& cells = m_rows.at(row);
    return col < cells.size() ? cells.at(col) : QString();
}

void ReportModel::setCell(int row, int col, const QString& text) {
    if (row < 0 || row >= rowTotal() || col < 0)
        return;
    QStringList& cells = m_rows[row];
    while (cells.size() <= col)
        cells.append(QString());
    cells[col] = text;
    if (col < columnTotal()) {
        const QModelIndex i = index(row, col);
        emit dataChanged(i, i, {Qt::DisplayRole});
    }
}

void ReportModel::appendRow(const QStringList& cells) {
    appendRows({cells});
}

void ReportModel::appendRows(const QList<QStringList>& rows) {
    if (rows.isEmpty())
        return;
    const int at = rowTotal();
    beginInsertRows(QModelIndex(), at, at + static_cast<int>(rows.size()) - 1);
    m_rows.append(rows);
    endInsertRows();
}

void ReportModel::removeRowAt(int row) {
    if (row < 0 || row >= rowTotal())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

void ReportModel::clearRows() {
    setRows({});
}

void ReportModel::setRows(const QList<QStringList>& rows) {
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

void ReportModel::setTextColor(const QColor& color) {
    m_textColor = color;
    if (rowTotal() > 0 && columnTotal() > 0)
        emit dataChanged(index(0, 0), index(rowTotal() - 1, columnTotal() - 1),
                         {Qt::ForegroundRole});
}

int ReportModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rowTotal();
}

int ReportModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columnTotal();
}

QVariant ReportModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowTotal() || index.column() >= columnTotal())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return cell(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(m_columns.at(index.column()).alignment | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        return m_textColor;
    default:
        return QVariant();
    }
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnTotal())
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_columns.at(section).header;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns.at(section).alignment | Qt::AlignVCenter);
    return QVariant();
}

} // namespace tavlix
