#pragma once
// Texts that a recorder, a camera or the cloud portal chose (model names, camera lines, disk and zone names,
// portal answers), made fit to show: never markup, never a control that reorders or breaks the line around them.

#include <QString>
#include <string>

// text (UTF-8 as the device sent it) as plain text to show: characters that change the direction of the text
// around them (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069) are dropped, so a name is read as it
// was sent; other control characters (C0, DEL, C1, line and paragraph separators) become spaces, so one line stays
// one line.
QString ShownDeviceText(const std::string& text);
QString ShownDeviceText(const QString& text);

// A tooltip that shows text exactly as it reads: Qt renders any tooltip that looks like markup as rich text, so a
// text that does is handed over escaped. Empty stays empty (no tooltip).
QString PlainToolTip(const QString& text);
