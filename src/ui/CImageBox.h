#pragma once
// One picture stretched over the control; nothing else.

#include <QImage>
#include <QWidget>

class CImageBox : public QWidget
{
    Q_OBJECT
public:
    explicit CImageBox(QWidget* parent = nullptr);

    // Releases the picture, then loads PNG id.
    void SetImage(int pngId);
    const QImage& image() const { return picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture;
};
