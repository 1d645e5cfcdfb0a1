#pragma once
// What the flowing texts share: words laid out left to right in lines that wrap at the control's width, with
// optional emphasis, a leading prefix, an inner margin, a rounded box behind and breaks inside Chinese words.

#include "ui/Colours.h"

#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

struct FlowWord
{
    bool emphasis = false;
    QString text;
    bool operator==(const FlowWord&) const = default;
};

// One word as placed: its text (a piece of a word when it was broken), emphasis and cell.
struct FlowPlacement
{
    QString text;
    bool emphasis = false;
    QRect rect;
    int line = 0;
};

struct FlowLayout
{
    std::vector<FlowPlacement> words;
    int lines = 1; // lines started, the first included
    int lineHeight = 0; // the line height used
    QRect area; // the text area after margins and prefix
    int prefixWidth = 0; // measured width of the prefix (0 without one)
};

class FlowingText : public QWidget
{
    Q_OBJECT
public:
    explicit FlowingText(QWidget* parent = nullptr);

    // Size in pixels and ARGB colour of every word; the family is "Verdana", else "Arial".
    void SetFont(int pixelSize, Argb colour);
    // Rebuilds the words and repaints.
    void SetText(const QString& text);
    QString text() const { return windowText; }
    // The height the text needs at the control's width.
    int MeasureHeight() const;

    const std::vector<FlowWord>& Words() const { return words; }
    // Where every word goes; measuring uses the stricter fit test of MeasureHeight.
    FlowLayout LayoutWords(bool measuring) const;

    void setLineHeight(int pixels);
    void setIndent(int pixels, int extraLeftPixels = 0);
    void setPrefix(bool on, const QString& text = QString(), Argb colour = 0xFF000000u);
    void setBox(bool on, Argb colour = 0xFF000000u, int radius = 0);
    void setCentreWords(bool on);
    void setCharWrap(bool on);
    bool charWrap() const { return charWrapOn; }
    int fontSize() const { return size; }
    Argb colour() const { return textColour; }

protected:
    void paintEvent(QPaintEvent* event) override;

    // The text cut into words.
    virtual std::vector<FlowWord> BuildWords(const QString& text) const;
    // The line height painting uses for a layout's line height.
    virtual int PaintLineHeight(int lineHeight) const { return lineHeight; }
    // The width of the box behind the text.
    virtual int BoxWidth(const FlowLayout& layout) const;

    QFont WordFont(bool emphasis) const;
    QSize MeasureWord(const QString& word, bool emphasis, int areaWidth) const;
    int indent() const { return indentPixels; }
    int extraLeft() const { return extraLeftPixels; }

private:
    FlowLayout Layout(bool measuring, int forcedLineHeight) const;

    QString windowText;
    QString family;
    int size = 14;
    Argb textColour = 0xFF000000u;
    std::vector<FlowWord> words;
    int lineHeight = 0;
    int indentPixels = 0;
    int extraLeftPixels = 0;
    bool prefixOn = false;
    QString prefixText;
    Argb prefixColour = 0xFF000000u;
    bool boxed = false;
    Argb boxColour = 0xFF000000u;
    int boxRadius = 0;
    bool centreWords = false;
    bool charWrapOn = false;
};

// Whether a line may end after before and the next begin with after, as the Unicode line breaking rules say
// (QTextBoundaryFinder): never before closing punctuation ("，" "。" "）" "」" "”") and never after opening punctuation
// ("（" "「" "《" "“"); two Latin letters or digits, which meet only where two words were parted, always. Breaking
// inside Chinese words keeps to it.
bool CanBreakBetween(char32_t before, char32_t after);

// The text cut at spaces into plain words; empty words are dropped.
std::vector<FlowWord> SplitWords(const QString& text, bool emphasis);
