#pragma once
// The row of dots that shows the wizard's progress: the first `filled` dots grey, the rest white with a grey rim.

#include <QWidget>

class ProgressDots : public QWidget
{
    Q_OBJECT
public:
    explicit ProgressDots(QWidget* parent = nullptr);

    void setFilled(int count);
    void setTotal(int count);
    void setGap(int pixels);
    void setRadius(int pixels);
    int filled() const { return filledDots; }
    int total() const { return totalDots; }
    int gap() const { return gapPixels; }
    int radius() const { return radiusPixels; }
    // The circle of dot i.
    QRect DotRect(int i) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int filledDots = 0;
    int totalDots = 11;
    int gapPixels = 6;
    int radiusPixels = 6;
};
