#pragma once
// The rows of the camera page's camera list: one record per camera listed (its model name and address as the list
// shows them, the model name's tooltip when the cell cuts it) and the row's check box and icon state. The list's
// cell delegate paints what data() and Look() give.

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <vector>

// One camera as the list shows it: texts a camera sent, already made safe to show.
struct ListedCamera
{
    QString model;
    QString address; // with ":port" when the camera's web port is not 80
};

// How a row's check box and camera icon look and where they lie in their cells.
struct CamRowData
{
    int checkedImage = -1;
    int uncheckedImage = -1;
    int iconImage = -1;
    int32_t checked = 0;
    int boxDx = 0;
    int boxDy = 0;
    int boxWidth = 0;
    int boxHeight = 0;
    int iconDx = 0;
    int iconDy = 0;
    int iconWidth = 0;
    int iconHeight = 0;
    int32_t verified = 0; // 1: the row shows the preview icon and may open the preview
};

class CameraListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kColumnCount = 9;
    static constexpr int kCheckColumn = 1;
    static constexpr int kNumberColumn = 3;
    static constexpr int kModelColumn = 5;
    static constexpr int kIconColumn = 6;
    static constexpr int kIpColumn = 8;

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // The number ("1", "2", ...), model name and address as texts; the model name's tooltip.
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Appends a row and returns its index.
    int Append(const ListedCamera& camera, const CamRowData& look);
    // Replaces the row's camera and the model name's tooltip; false for a row that does not exist.
    bool SetCamera(int row, const ListedCamera& camera, const QString& modelToolTip);
    void Clear();
    // The row's camera and look (nullptr for a row that does not exist).
    const ListedCamera* Camera(int row) const;
    CamRowData* Look(int row);
    const CamRowData* Look(int row) const;
    // The number of rows whose box is checked.
    int CheckedCount() const;

private:
    struct Row
    {
        ListedCamera camera;
        QString modelToolTip;
        CamRowData look;
    };
    bool exists(int row) const { return row >= 0 && row < static_cast<int>(rows.size()); }

    std::vector<Row> rows;
};
