#pragma once
// The header of the camera list: a blue bar with the column titles in white, the number column's title centred,
// the others left-aligned. Columns keep their widths; the header does not react to the mouse.

#include "ui/OwnerDrawnTable.h"

#include <QHeaderView>
#include <QImage>
#include <QStringList>

class CameraListHeader : public QHeaderView
{
    Q_OBJECT
public:
    static constexpr int kHeight = 32;
    static constexpr int kTitleSize = kHeaderTitleSize;

    explicit CameraListHeader(QWidget* list);

    // One title per column (empty: none); centredColumn is drawn centred.
    void SetTitles(const QStringList& titles, int centredColumn);
    QStringList titles() const { return columnTitles; }
    // Releases the bar picture, then loads PNG id.
    void SetImage(int pngId);
    QFont TitleFont() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage bar;
    QStringList columnTitles;
    int centred = -1;
};
