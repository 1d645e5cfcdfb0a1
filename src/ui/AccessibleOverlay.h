#pragma once
// What an overlay box that draws its title and message itself tells assistive tools: it is a dialog named by its
// title, and its message is a static text among its children.

#include <QString>

class AccessibleOverlay
{
public:
    virtual ~AccessibleOverlay() = default;
    virtual QString AccessibleTitle() const = 0;
    virtual QString AccessibleMessage() const { return QString(); }
};
