#pragma once
// The summary table: a rounded table with a blue header cell per section (the recorder, and optionally the cloud
// account and the added cameras), grey labels and blue values, and the cameras' model names in two columns.

#include "ui/AccessibleControls.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class SummaryTable : public QWidget, public AccessibleRows
{
    Q_OBJECT
public:
    static constexpr int kNvrHeight = 85;
    static constexpr int kCloudHeight = 55;
    static constexpr int kRowPitch = 32;

    // The values shown: the recorder password, the cloud account and the model names of the added cameras.
    void SetValues(const QString& nvrPassword, const QString& cloudEmail, const QString& cloudPassword,
        const QStringList& cameraNames);

    bool showsCloud() const { return cloud; }
    bool showsCameras() const { return cameras; }
    // The table's height: as given for its kind, more when the camera rows need it.
    int TableHeight() const;
    // Where camera i's name goes (table coordinates): row i / 2, left column for even i, right for odd i.
    QRect CameraTextRect(int i) const;
    // The camera marker's left edge for camera i.
    int CameraMarkerX(int i) const;
    const QStringList& cameraNames() const { return names; }
    // The texts of the table as drawn, label and value joined (for review and tests).
    QStringList Lines() const;

    int AccessibleRowCount() const override { return static_cast<int>(Lines().size()); }
    QString AccessibleRowText(int row) const override { return Lines().value(row); }
    QRect AccessibleRowRect(int) const override { return rect(); }

    SummaryTable(QWidget* parent, bool showCloud, bool showCameras);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int CamerasTop() const;

    bool cloud;
    bool cameras;
    int baseHeight;
    QString password;
    QString email;
    QString emailPassword;
    QStringList names;
};
