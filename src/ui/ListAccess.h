#pragma once
// The lists as assistive tools see them: a row per item (named by its texts), in it the check cell and the row's
// button when it has them. A list tells what it holds through AccessibleRows.

class QAccessibleInterface;
class QWidget;

// The interface of a list, or nothing when widget implements no AccessibleRows.
QAccessibleInterface* ListAccessFor(QWidget* widget);
