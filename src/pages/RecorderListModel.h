#pragma once
// The rows of the search page's recorder list: one record per search answer listed (the recorder as the search
// answer gives it and the interface of this PC it answered on), which row is checked, which rows carry the warning
// mark, and each row's tooltip. The list's cell delegate paints what data() gives; the page reads the records.

#include "session/ChosenRecorder.h"

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <vector>

// One recorder listed: what its search answer gave.
struct FoundRecorder
{
    ChosenRecorder recorder; // address, MAC, web port and model; no credentials yet
    int32_t interfaceIndex = -1; // the discovery endpoint (interface of this PC) it answered on
};

class RecorderListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kColumnCount = 8;
    static constexpr int kRadioColumn = 1;
    static constexpr int kNumberColumn = 3;
    static constexpr int kMarkColumn = 4;
    static constexpr int kIpColumn = 5;
    static constexpr int kMacColumn = 7;
    static constexpr int kCheckedRole = Qt::UserRole + 1; // the radio column: bool
    static constexpr int kMarkedRole = Qt::UserRole + 2; // the mark column: bool

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // The number ("1", "2", ...), address and MAC as texts; the checked and marked flags; the row's tooltip in
    // every column.
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Appends an unchecked, unmarked row and returns its index.
    int Append(const FoundRecorder& found);
    void Clear();
    // The record of row (nullptr for a row that does not exist).
    const FoundRecorder* Record(int row) const;

    // Checks row (-1: none) and unchecks every other row.
    void SetChecked(int row);
    // The checked row, or -1.
    int CheckedRow() const { return checkedRow; }
    void SetMarked(int row, bool on);
    bool IsMarked(int row) const;
    void SetToolTip(int row, const QString& text);
    QString ToolTip(int row) const;

private:
    struct Row
    {
        FoundRecorder found;
        bool marked = false;
        QString toolTip;
    };
    bool exists(int row) const { return row >= 0 && row < static_cast<int>(rows.size()); }
    void changed(int row, int column);

    std::vector<Row> rows;
    int checkedRow = -1;
};
