#include "pages/RecorderListModel.h"

namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

int RecorderListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows.size());
}

int RecorderListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant RecorderListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !exists(index.row()))
        return {};
    const Row& row = rows[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case kNumberColumn:
            return QString::number(index.row() + 1);
        case kIpColumn:
            return FromUtf8(row.found.recorder.address);
        case kMacColumn:
            return FromUtf8(row.found.recorder.mac);
        default:
            return QString();
        }
    case kCheckedRole:
        return index.column() == kRadioColumn ? QVariant(index.row() == checkedRow) : QVariant();
    case kMarkedRole:
        return index.column() == kMarkColumn ? QVariant(row.marked) : QVariant();
    case Qt::ToolTipRole:
        return row.toolTip.isEmpty() ? QVariant() : QVariant(row.toolTip);
    default:
        return {};
    }
}

Qt::ItemFlags RecorderListModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

int RecorderListModel::Append(const FoundRecorder& found)
{
    const int row = static_cast<int>(rows.size());
    beginInsertRows(QModelIndex(), row, row);
    rows.push_back(Row { found, false, QString() });
    endInsertRows();
    return row;
}

void RecorderListModel::Clear()
{
    beginResetModel();
    rows.clear();
    checkedRow = -1;
    endResetModel();
}

const FoundRecorder* RecorderListModel::Record(int row) const
{
    return exists(row) ? &rows[static_cast<size_t>(row)].found : nullptr;
}

void RecorderListModel::SetChecked(int row)
{
    const int now = exists(row) ? row : -1;
    if (now == checkedRow)
        return;
    const int before = checkedRow;
    checkedRow = now;
    changed(before, kRadioColumn); // repaints the cells that change
    changed(now, kRadioColumn);
}

void RecorderListModel::SetMarked(int row, bool on)
{
    if (!exists(row) || rows[static_cast<size_t>(row)].marked == on)
        return;
    rows[static_cast<size_t>(row)].marked = on;
    changed(row, kMarkColumn);
}

bool RecorderListModel::IsMarked(int row) const
{
    return exists(row) && rows[static_cast<size_t>(row)].marked;
}

void RecorderListModel::SetToolTip(int row, const QString& text)
{
    if (!exists(row))
        return;
    rows[static_cast<size_t>(row)].toolTip = text;
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1), { Qt::ToolTipRole });
}

QString RecorderListModel::ToolTip(int row) const
{
    return exists(row) ? rows[static_cast<size_t>(row)].toolTip : QString();
}

void RecorderListModel::changed(int row, int column)
{
    if (exists(row))
        emit dataChanged(index(row, column), index(row, column));
}
