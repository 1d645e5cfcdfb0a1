#pragma once
// The overlay boxes that draw their title and message themselves, as assistive tools see them: a modal dialog named
// by its title, with its message as a static text among its children. A box tells both through AccessibleOverlay.

class QAccessibleInterface;
class QWidget;

// The interface of an overlay box, or nothing when widget implements no AccessibleOverlay.
QAccessibleInterface* OverlayAccessFor(QWidget* widget);
