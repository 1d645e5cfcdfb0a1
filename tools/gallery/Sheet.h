#pragma once
// One gallery picture: a white sheet with a title and rows of labelled cells; every cell is a stage that shows
// a page background (or white) and holds the controls placed on it. Saved as one PNG.

#include <QImage>
#include <QString>
#include <QWidget>
#include <vector>

class Sheet : public QWidget
{
    Q_OBJECT
public:
    explicit Sheet(const QString& title, int maxWidth = 1200);

    // A new cell of the given size labelled below; the stage shows the page background bitmap (0: white) as it
    // lies at pagePos on the page, and, when box is not empty, a thin outline of that box (stage coordinates).
    QWidget* AddCell(
        const QString& label, QSize size, int backgroundBitmap = 0, QPoint pagePos = QPoint(), QRect box = QRect());
    // The next cell starts a new row.
    void NewRow();
    // Delivers what is pending, renders the sheet and writes it; false when the file cannot be written.
    bool Save(const QString& path);
    // The sheet as rendered (after Save, or now).
    QImage Render();

private:
    int maxWidth;
    int x = 12;
    int y = 44;
    int rowHeight = 0;
    int widest = 0;
};
