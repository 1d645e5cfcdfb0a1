#pragma once
// The language selector: shows the current choice with up and down arrows; a click opens the drop-down list
// over the page, and the chosen index reaches the page as WM_LANGUAGE_SELECTED.

#include "ui/Colours.h"
#include "ui/ComboItem.h"
#include "ui/PressableControl.h"

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <vector>

class LanguageDropDown;
class InputLayer;

class LanguageCombo : public PressableControl
{
    Q_OBJECT
public:
    static constexpr int kMaxItems = 23;

    explicit LanguageCombo(QWidget* parent = nullptr);
    ~LanguageCombo() override;

    // Preset: "Arial" 18 regular, text RGB(100, 100, 100), background white.
    void SetStyle();
    // Adds a choice (at most kMaxItems; more are ignored).
    void AddItem(const QString& text);
    void SetCurrent(int index);
    // Computes the text rectangle and the arrow halves from the client rectangle.
    void Layout();
    // Opens the drop-down list (an open one is destroyed first).
    void OpenList();
    // What a click and Space do: opens the list.
    void Press() override;

    int current() const { return currentIndex; }
    int count() const { return static_cast<int>(items.size()); }
    // The text of item index (empty for an index that does not exist).
    QString ItemText(int index) const;
    int visibleRows() const { return rows; }
    void setVisibleRows(int count) { rows = count; }
    QRect textRect() const { return textArea; }
    QRect upHalf() const { return upArea; }
    QRect downHalf() const { return downArea; }
    // The open drop-down list, or null.
    LanguageDropDown* list() const;
    QString fontFamily() const { return family; }
    int fontSize() const { return size; }
    Rgb textColour() const { return textRgb; }
    void onMessage(int message, intptr_t wParam, intptr_t lParam);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CloseList();

    std::vector<ComboItem> items;
    int currentIndex = 0;
    int rows = 6;
    QString family;
    int size = 18;
    Rgb textRgb = MakeRgb(100, 100, 100);
    Rgb backRgb = MakeRgb(255, 255, 255);
    QRect textArea;
    QRect upArea;
    QRect downArea;
    bool hoverUp = false;
    bool hoverDown = false;
    QPointer<InputLayer> layer;
    QPointer<LanguageDropDown> dropDown;
};
