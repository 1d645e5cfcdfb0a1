#include "ui/WrappedText.h"

WrappedText::WrappedText(QWidget* parent)
    : FlowingText(parent)
{
}
