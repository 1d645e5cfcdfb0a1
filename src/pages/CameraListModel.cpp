#include "pages/CameraListModel.h"

int CameraListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows.size());
}

int CameraListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CameraListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !exists(index.row()))
        return {};
    const Row& row = rows[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case kNumberColumn:
            return QString::number(index.row() + 1);
        case kModelColumn:
            return row.camera.model;
        case kIpColumn:
            return row.camera.address;
        default:
            return QString();
        }
    }
    if (role == Qt::ToolTipRole && index.column() == kModelColumn && !row.modelToolTip.isEmpty())
        return row.modelToolTip;
    return {};
}

Qt::ItemFlags CameraListModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

int CameraListModel::Append(const ListedCamera& camera, const CamRowData& look)
{
    const int row = static_cast<int>(rows.size());
    beginInsertRows(QModelIndex(), row, row);
    rows.push_back(Row { camera, QString(), look });
    endInsertRows();
    return row;
}

bool CameraListModel::SetCamera(int row, const ListedCamera& camera, const QString& modelToolTip)
{
    if (!exists(row))
        return false;
    rows[static_cast<size_t>(row)].camera = camera;
    rows[static_cast<size_t>(row)].modelToolTip = modelToolTip;
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
    return true;
}

void CameraListModel::Clear()
{
    beginResetModel();
    rows.clear();
    endResetModel();
}

const ListedCamera* CameraListModel::Camera(int row) const
{
    return exists(row) ? &rows[static_cast<size_t>(row)].camera : nullptr;
}

CamRowData* CameraListModel::Look(int row)
{
    return exists(row) ? &rows[static_cast<size_t>(row)].look : nullptr;
}

const CamRowData* CameraListModel::Look(int row) const
{
    return exists(row) ? &rows[static_cast<size_t>(row)].look : nullptr;
}

int CameraListModel::CheckedCount() const
{
    int count = 0;
    for (const Row& row : rows)
        count += row.look.checked == 1 ? 1 : 0;
    return count;
}
