#pragma once
// The header of the recorder list: a blue bar with the column titles centred in white, and a help icon right of
// the last title whose click posts WM_OPEN_OVERLAY (kind 4, the MAC label) to the list. Columns keep their widths.

#include <QHeaderView>
#include <QImage>
#include <QRect>
#include <QStringList>

class RecorderListHeader : public QHeaderView
{
    Q_OBJECT
public:
    static constexpr int kHeight = 32;

    explicit RecorderListHeader(QWidget* list);

    // One title per column (empty: none).
    void SetTitles(const QStringList& titles);
    QStringList titles() const { return columnTitles; }
    // The help icon's square in the header's viewport coordinates (empty while the header has no columns).
    QRect HelpIconRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QFont TitleFont() const;

    QImage bar;
    QImage helpIcon;
    QStringList columnTitles;
    bool pressedOnIcon = false;
};
