// The rows of a report-style list (the invoice lines ListView1, the totals ListView2): column
// headers with alignment and width, and rows of text cells. Logic reads and writes this model;
// the view only shows it.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QStringList>

namespace tavlix {

struct ColumnSpec {
    QString header;
    Qt::Alignment alignment = Qt::AlignLeft;
    int widthTwips = 0; // the view shows twips ÷ 15 pixels
};

class ReportModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ReportModel(QObject* parent = nullptr);

    // Columns. Removing headers leaves the rows' cells alone, as a list view does, except
    // removeColumnPair-style removal through removeColumnsWithCells.
    int columnTotal() const { return static_cast<int>(m_columns.size()); }
    const ColumnSpec& column(int index) const { return m_columns.at(index); }
    QList<ColumnSpec> columns() const { return m_columns; }
    QStringList headers() const;
    void clearColumns();
    void addColumn(const ColumnSpec& column);
    void setColumns(const QList<ColumnSpec>& specs);
    // Removes `count` columns from `first` together with those cells of every row, so that the
    // cells of later columns stay under their own headers.
    void removeColumnsWithCells(int first, int count);
    // First column at or after `from` whose header equals `header`; -1 when there is none.
    int findColumn(const QString& header, int from = 0) const;

    // Rows. A cell beyond a row's stored cells reads as empty text.
    int rowTotal() const { return static_cast<int>(m_rows.size()); }
    QString cell(int row, int col) const;
    void setCell(int row, int col, const QString& text);
    QStringList rowCells(int row) const { return m_rows.at(row); }
    void appendRow(const QStringList& cells);
    void appendRows(const QList<QStringList>& rows);
    void removeRowAt(int row);
    void clearRows();
    void setRows(const QList<QStringList>& rows);

    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor& color);

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    // The column layout changed (headers, widths or alignment): views re-apply their widths.
    void columnsRebuilt();

private:
    QList<ColumnSpec> m_columns;
    QList<QStringList> m_rows;
    QColor m_textColor = Qt::black;
};

} // namespace tavlix
