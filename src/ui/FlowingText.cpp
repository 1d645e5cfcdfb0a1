#include "ui/FlowingText.h"

#include "ui/Drawing.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <cmath>

namespace {

// Cut points inside a word never split a surrogate pair.
bool IsCutPoint(const QString& word, qsizetype length)
{
    return length > 0 && length < word.size() && !word.at(length - 1).isHighSurrogate();
}

// The code of the last character of word's first length units.
char32_t LastCode(const QString& word, qsizetype length)
{
    const QChar last = word.at(length - 1);
    if (last.isLowSurrogate() && length >= 2 && word.at(length - 2).isHighSurrogate())
        return QChar::surrogateToUcs4(word.at(length - 2), last);
    return last.unicode();
}

// The code of the character that starts at index.
char32_t CodeAt(const QString& word, qsizetype index)
{
    const QChar first = word.at(index);
    if (first.isHighSurrogate() && index + 1 < word.size() && word.at(index + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(first, word.at(index + 1));
    return first.unicode();
}

// Whether a line may end inside text after its first `at` units, as the Unicode line breaking rules say. Quotation
// marks are asked about as they read in Chinese text, where the general rules would keep them to both neighbours:
// curly ones as the brackets they are ("“" opens, "”" closes), a straight one as a character of its own (the
// language packs write "下一步" with it, and a line may end on either side).
bool LineMayBreakAt(QString text, qsizetype at)
{
    for (QChar& c : text) {
        if (c == QChar(0x201C) || c == QChar(0x2018))
            c = QChar(0xFF08); // "（"
        else if (c == QChar(0x201D) || c == QChar(0x2019))
            c = QChar(0xFF09); // "）"
        else if (c == QLatin1Char('"'))
            c = QChar(0x4E00); // an ideograph
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text);
    finder.setPosition(at);
    return finder.isAtBoundary() && (finder.boundaryReasons() & QTextBoundaryFinder::BreakOpportunity) != 0;
}

bool IsAsciiLetterOrDigit(char32_t c)
{
    return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z');
}

// Whether a word may be broken after its first length units: after a character above 126 (Latin words stay whole)
// where a line may end; when the rest would start with closing punctuation, the character before it goes down too.
bool MayBreakInside(const QString& word, qsizetype length)
{
    return IsCutPoint(word, length) && LastCode(word, length) > 126 && LineMayBreakAt(word, length);
}

} // namespace

bool CanBreakBetween(char32_t before, char32_t after)
{
    // Latin letters and digits meet across pieces only where a space or markup parted two words.
    if (IsAsciiLetterOrDigit(before) && IsAsciiLetterOrDigit(after))
        return true;
    const QString head = QString::fromUcs4(&before, 1);
    return LineMayBreakAt(head + QString::fromUcs4(&after, 1), head.size());
}

std::vector<FlowWord> SplitWords(const QString& text, bool emphasis)
{
    std::vector<FlowWord> result;
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& part : parts)
        result.push_back(FlowWord { emphasis, part });
    return result;
}

FlowingText::FlowingText(QWidget* parent)
    : QWidget(parent)
    , family(ChooseFontFamily(QStringLiteral("Verdana")))
{
}

void FlowingText::SetFont(int pixelSize, Argb colour)
{
    family = ChooseFontFamily(QStringLiteral("Verdana"));
    size = pixelSize;
    textColour = colour;
    update();
}

void FlowingText::SetText(const QString& text)
{
    windowText = text;
    words = BuildWords(text);
    update();
}

std::vector<FlowWord> FlowingText::BuildWords(const QString& text) const
{
    return SplitWords(text, false);
}

void FlowingText::setLineHeight(int pixels)
{
    lineHeight = pixels;
    update();
}

void FlowingText::setIndent(int pixels, int extraLeftPx)
{
    indentPixels = pixels;
    extraLeftPixels = extraLeftPx;
    update();
}

void FlowingText::setPrefix(bool on, const QString& text, Argb colour)
{
    prefixOn = on;
    prefixText = text;
    prefixColour = colour;
    update();
}

void FlowingText::setBox(bool on, Argb colour, int radius)
{
    boxed = on;
    boxColour = colour;
    boxRadius = radius;
    update();
}

void FlowingText::setCentreWords(bool on)
{
    centreWords = on;
    update();
}

void FlowingText::setCharWrap(bool on)
{
    charWrapOn = on;
    update();
}

QFont FlowingText::WordFont(bool emphasis) const
{
    return MakeFont(family, size, emphasis);
}

QSize FlowingText::MeasureWord(const QString& word, bool emphasis, int areaWidth) const
{
    // Laid out in a box twice as wide as the area and 1.5 x the font size high, like the platform measures it; the
    // cell keeps the padding of a sixth of the font size that the platform's text layout adds to every string.
    const QFontMetricsF metrics(WordFont(emphasis));
    // Heights are the font's own face's line (Chinese faces behind it do not make lines taller, see DrawTextBlock).
    const QSizeF bounds = MeasureTextBlock(WordFont(emphasis), word, Qt::AlignLeft, 2.0 * std::max(areaWidth, 1));
    const int width = static_cast<int>(std::ceil(metrics.horizontalAdvance(word) + size / 6.0));
    const int height = static_cast<int>(std::ceil(std::max(bounds.height(), metrics.height())));
    return QSize(width, height);
}

FlowLayout FlowingText::LayoutWords(bool measuring) const
{
    return Layout(measuring, 0);
}

FlowLayout FlowingText::Layout(bool measuring, int forcedLineHeight) const
{
    FlowLayout layout;
    QRect area = rect();
    if (indentPixels > 0)
        area.adjust(indentPixels + extraLeftPixels, indentPixels, -indentPixels, -indentPixels);
    if (prefixOn) {
        const QFontMetricsF metrics(WordFont(false));
        // Measured with the space that parts it from the first word.
        layout.prefixWidth
            = static_cast<int>(std::ceil(metrics.horizontalAdvance(prefixText + QLatin1Char(' ')) + size / 6.0));
        area.setLeft(area.left() + layout.prefixWidth - 4);
    }
    layout.area = area;
    const int available = area.width();
    int line = 0;
    int offset = 0;
    bool breakBeforeNext = false;
    int lh = forcedLineHeight > 0 ? forcedLineHeight : lineHeight;

    std::vector<FlowWord> queue(words.rbegin(), words.rend()); // a stack: back() is the next word
    auto place = [&](const QString& text, bool emphasis, QSize measured) {
        layout.words.push_back(FlowPlacement { text, emphasis,
            QRect(area.left() + offset, area.top() + lh * line, measured.width(), measured.height()), line });
        // Every word, emphasised or not, is followed by the same normal gap: text after an emphasised run
        // ("GO TO NVR" to log in) reads on after one space, not after a gap as wide as the font.
        offset += measured.width() + 1;
    };
    // Before the line ends ahead of next: it may not end before closing punctuation nor after opening punctuation
    // (as "<br>“下一步”</br>。" would give), so the characters before next go down with it; a whole word goes down
    // when it cannot be broken, unless it starts the line.
    auto carryDownUnbreakable = [&](QString next) {
        while (!layout.words.empty() && layout.words.back().line == line) {
            FlowPlacement& last = layout.words.back();
            if (CanBreakBetween(LastCode(last.text, last.text.size()), CodeAt(next, 0)))
                return;
            for (qsizetype length = last.text.size() - 1; length > 0; --length) {
                if (!MayBreakInside(last.text, length))
                    continue;
                queue.push_back(FlowWord { last.emphasis, last.text.mid(length) });
                last.text.truncate(length);
                last.rect.setSize(MeasureWord(last.text, last.emphasis, available));
                return;
            }
            if (last.rect.left() == area.left())
                return; // it starts the line: the line ends here anyway
            queue.push_back(FlowWord { last.emphasis, last.text });
            next = last.text;
            layout.words.pop_back();
        }
    };
    auto newLine = [&]() {
        ++line;
        offset = 0;
        breakBeforeNext = false;
    };

    while (!queue.empty()) {
        const FlowWord word = queue.back();
        queue.pop_back();
        const QSize measured = MeasureWord(word.text, word.emphasis, available);
        if (lh == 0)
            lh = measured.height() + 1;
        if (breakBeforeNext)
            newLine();

        if (!charWrapOn) {
            const bool fits
                = measuring ? offset + measured.width() + 2 <= available : offset + measured.width() < available;
            if (!fits && offset > 0)
                newLine();
            const bool fitsNow
                = measuring ? offset + measured.width() + 2 <= available : offset + measured.width() < available;
            place(word.text, word.emphasis, measured);
            if (!fitsNow)
                breakBeforeNext = true; // overflowing at a line start: the next word starts a new line
            continue;
        }

        if (offset + measured.width() + 2 <= available) {
            place(word.text, word.emphasis, measured);
            continue;
        }
        // Break inside the word after the longest prefix that fits and may end a line.
        bool broken = false;
        for (qsizetype length = word.text.size() - 1; length > 0; --length) {
            if (!MayBreakInside(word.text, length))
                continue;
            const QString head = word.text.left(length);
            const QSize headSize = MeasureWord(head, word.emphasis, available);
            if (offset + headSize.width() + 2 > available)
                continue;
            place(head, word.emphasis, headSize);
            queue.push_back(FlowWord { word.emphasis, word.text.mid(length) });
            breakBeforeNext = true;
            broken = true;
            break;
        }
        if (broken)
            continue;
        if (offset > 0) {
            queue.push_back(word); // at the start of the next line it may break again
            carryDownUnbreakable(word.text);
            newLine();
            continue;
        }
        place(word.text, word.emphasis, measured); // nothing fits even alone: it overflows
        breakBeforeNext = true;
    }
    layout.lines = line + 1;
    if (lh == 0) {
        // No words: the line height of an empty measurement.
        lh = MeasureWord(QStringLiteral(" "), false, available).height() + 1;
    }
    layout.lineHeight = lh;
    return layout;
}

int FlowingText::MeasureHeight() const
{
    const FlowLayout layout = Layout(true, 0);
    return layout.lines * layout.lineHeight;
}

int FlowingText::BoxWidth(const FlowLayout&) const
{
    return width();
}

void FlowingText::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PrepareGraphics(painter);
    FlowLayout layout = Layout(false, 0);
    const int paintHeight = PaintLineHeight(layout.lineHeight);
    if (paintHeight != layout.lineHeight)
        layout = Layout(false, paintHeight);

    if (boxed) {
        const int boxHeight = MeasureHeight() + indentPixels + 5;
        DrawRoundedOutlineBox(painter, 0, 0, BoxWidth(layout), boxHeight, boxRadius, boxColour, 3);
    }
    if (prefixOn) {
        painter.setFont(WordFont(false));
        painter.setPen(ColorFromArgb(prefixColour));
        const QRect prefixRect(
            layout.area.left() - layout.prefixWidth + 4, layout.area.top(), layout.prefixWidth, layout.lineHeight);
        DrawTextBlock(painter, prefixRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, prefixText);
    }
    painter.setPen(ColorFromArgb(textColour));
    for (const FlowPlacement& word : layout.words) {
        painter.setFont(WordFont(word.emphasis));
        const int align = (centreWords ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop | Qt::TextSingleLine;
        DrawTextBlock(painter, word.rect, align, word.text);
    }
}
