#pragma once
// Flowing text for error lines: plain words that wrap; its box hugs the text when the text fits on one line.

#include "ui/FlowingText.h"

class CErrorStatic : public FlowingText
{
    Q_OBJECT
public:
    explicit CErrorStatic(QWidget* parent = nullptr);

protected:
    int BoxWidth(const FlowLayout& layout) const override;
};
