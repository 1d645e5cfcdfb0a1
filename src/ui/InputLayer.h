#pragma once
// A layer over the whole window that takes all input and the focus, so nothing beneath it can be clicked while
// a list, box or overlay lies on it. Transparent, or dimmed with a colour.

#include <QColor>
#include <QWidget>

class InputLayer : public QWidget
{
    Q_OBJECT
public:
    // Covers window (the top-level widget) and follows its size.
    explicit InputLayer(QWidget* window, QColor dim = Qt::transparent);

signals:
    // A press that landed on the layer itself, outside everything placed on it (window coordinates).
    void pressedOutside(QPoint position);
    void escapePressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor dimColour;
};
