#include "ui/FilledLayeredPictureButton.h"

FilledLayeredPictureButton::FilledLayeredPictureButton(QWidget* parent)
    : LayeredPictureButton(parent)
{
}
