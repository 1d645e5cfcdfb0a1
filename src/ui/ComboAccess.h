#pragma once
// The combos as assistive tools see them: the language combo with its items (choosing one does what a click in the
// open list does) and the rounded frames that open a drop-down list when pressed.

class QAccessibleInterface;
class QWidget;

// The interface of a combo, or nothing when widget is no combo.
QAccessibleInterface* ComboAccessFor(QWidget* widget);
