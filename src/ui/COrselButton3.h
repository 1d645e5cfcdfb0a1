#pragma once
// Picture button drawn as COrselButton2 (each state its own picture, hover under normal), restoring the
// background under it before it draws. Caption size 16.

#include "ui/COrselButton2.h"

class COrselButton3 : public COrselButton2
{
    Q_OBJECT
public:
    explicit COrselButton3(QWidget* parent = nullptr);
};
