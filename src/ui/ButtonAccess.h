#pragma once
// The buttons as assistive tools see them: picture buttons (push buttons, or check and radio buttons in choice
// mode), overlay picture buttons and the focus spots over parts of owner-drawn controls; pressing one does what a
// click does.

class QAccessibleInterface;
class QWidget;

// The interface of a button, or nothing when widget is no button.
QAccessibleInterface* ButtonAccessFor(QWidget* widget);
