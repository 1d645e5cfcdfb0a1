#pragma once
// A white box with a thin red rounded frame along its edge.

#include <QWidget>

class RedFrameBox : public QWidget
{
    Q_OBJECT
public:
    explicit RedFrameBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
