#pragma once
// Flowing text of plain words (no markup) that wrap at the control's width; when painting, a line height
// above 39 pixels is drawn as 20.

#include "ui/FlowingText.h"

class WrappedText : public FlowingText
{
    Q_OBJECT
public:
    explicit WrappedText(QWidget* parent = nullptr);

protected:
    int PaintLineHeight(int lineHeight) const override { return lineHeight > 39 ? 20 : lineHeight; }
};
