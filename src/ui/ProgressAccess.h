#pragma once
// The page indicator as assistive tools see it: a progress bar whose value is the step the wizard is on.

class QAccessibleInterface;
class QWidget;

// The interface of the page indicator, or nothing when widget is none.
QAccessibleInterface* ProgressAccessFor(QWidget* widget);
