#include "ui/COrselButton3.h"

COrselButton3::COrselButton3(QWidget* parent)
    : COrselButton2(parent)
{
}
