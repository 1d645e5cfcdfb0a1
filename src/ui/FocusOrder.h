#pragma once
// Tab and Shift+Tab in reading order: the controls of a page or an overlay from top to bottom, each row left to
// right, whatever order they were made in, and never out of the page or overlay.

#include <QList>

class QWidget;

// The controls under root that Tab reaches now (shown, enabled, taking the focus by Tab), in reading order.
QList<QWidget*> ReadingOrder(const QWidget* root);

// Moves the focus to the control after (or before) the focused one in root's reading order, round from the last to
// the first; from outside root's controls to the first (or the last). False when root has no such control.
bool MoveFocusInReadingOrder(QWidget* root, bool next);
