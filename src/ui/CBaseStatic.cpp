#include "ui/CBaseStatic.h"

CBaseStatic::CBaseStatic(QWidget* parent)
    : FlowingText(parent)
{
}
