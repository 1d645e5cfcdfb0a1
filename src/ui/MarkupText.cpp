#include "ui/MarkupText.h"

MarkupText::MarkupText(QWidget* parent)
    : FlowingText(parent)
{
}

std::vector<FlowWord> MarkupText::Segments(const QString& text)
{
    const QString open = QStringLiteral("<br>");
    const QString close = QStringLiteral("</br>");
    std::vector<FlowWord> cut;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype start = text.indexOf(open, pos);
        if (start < 0) {
            cut.push_back(FlowWord { false, text.mid(pos) });
            break;
        }
        cut.push_back(FlowWord { false, text.mid(pos, start - pos) });
        const qsizetype end = text.indexOf(close, start + open.size());
        if (end < 0) {
            cut.push_back(FlowWord { true, text.mid(start + open.size()) }); // unclosed: the rest is emphasised
            break;
        }
        cut.push_back(FlowWord { true, text.mid(start + open.size(), end - start - open.size()) });
        pos = end + close.size();
    }
    std::vector<FlowWord> segments;
    for (FlowWord& segment : cut) {
        if (segment.text.isEmpty() || segment.text == QStringLiteral(" "))
            continue;
        segments.push_back(std::move(segment));
    }
    return segments;
}

std::vector<FlowWord> MarkupText::BuildWords(const QString& text) const
{
    std::vector<FlowWord> result;
    for (const FlowWord& segment : Segments(text)) {
        std::vector<FlowWord> words = SplitWords(segment.text, segment.emphasis);
        result.insert(result.end(), words.begin(), words.end());
    }
    return result;
}
