#pragma once
// Flowing text with emphasis markup: the parts between "<br>" and "</br>" are drawn bold; the text goes on after
// them with a normal space. Words can be centred in their cells.

#include "ui/FlowingText.h"

class MarkupText : public FlowingText
{
    Q_OBJECT
public:
    explicit MarkupText(QWidget* parent = nullptr);

    // The text cut at the markup; empty and single-space segments are dropped.
    static std::vector<FlowWord> Segments(const QString& text);

protected:
    std::vector<FlowWord> BuildWords(const QString& text) const override;
};
