#pragma once
// A small blue text that can become a link: underlined, the hand cursor over it, and a click posts
// WM_LINK_CLICKED to the page.

#include "ui/OneLineText.h"

#include <QRect>

class SmallLink : public OneLineText
{
    Q_OBJECT
public:
    explicit SmallLink(QWidget* parent = nullptr);

    // Preset: 13 regular RGB(42, 169, 209).
    void SetStyle();
    // Turns the link on and remembers where the text lies.
    void MakeLink();
    QRect textRect() const { return measuredRect; }

protected:
    bool PostsLinkAfterDefault() const override { return true; }

private:
    QRect measuredRect;
};
