#pragma once
// Texts that came from a device (a model, a camera name, a zone, an answer's body), made safe to show on a
// terminal or in a report: whatever the device sent can neither break the line nor steer the terminal.

#include <string>

// The text as valid UTF-8 on one line: tabs and line ends become spaces; every other control character (C0, DEL
// and C1, so ESC, CSI, OSC and ST among them) and every byte that is not UTF-8 becomes U+FFFD, which leaves what
// followed an escape character as harmless visible text.
std::string TerminalLine(const std::string& text);

// The same for a text of several lines: each line as TerminalLine gives it, the line ends ("\n", "\r\n") kept as
// "\n".
std::string TerminalLines(const std::string& text);
