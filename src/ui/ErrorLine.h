#pragma once
// Flowing text for error lines: plain words that wrap; its box hugs the text when the text fits on one line.

#include "ui/FlowingText.h"

class ErrorLine : public FlowingText
{
    Q_OBJECT
public:
    explicit ErrorLine(QWidget* parent = nullptr);

protected:
    int BoxWidth(const FlowLayout& layout) const override;
};
