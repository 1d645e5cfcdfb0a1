#pragma once
// Picture button drawn as LayeredPictureButton (each state its own picture, hover under normal), restoring the
// background under it before it draws. Caption size 16.

#include "ui/LayeredPictureButton.h"

class FilledLayeredPictureButton : public LayeredPictureButton
{
    Q_OBJECT
public:
    explicit FilledLayeredPictureButton(QWidget* parent = nullptr);
};
