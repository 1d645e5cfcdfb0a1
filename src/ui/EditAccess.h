#pragma once
// The entries as assistive tools see them: the text as shown (masked in password mode), editable as typing edits
// it.

class QAccessibleInterface;
class QWidget;

// The interface of an entry, or nothing when widget is none.
QAccessibleInterface* EditAccessFor(QWidget* widget);
