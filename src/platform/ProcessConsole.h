#pragma once
// What a command-line program needs from its console and its process: UTF-8 output, an interrupt handler
// (Ctrl+C, and on Linux also SIGTERM), and the local time.

#include <ctime>

// Makes the console show the program's UTF-8 output as UTF-8 (Windows consoles otherwise take the OEM code page),
// and has standard output and error pass the program's bytes unchanged (the Windows C library would write every
// "\n" as "\r\n", changing the bodies that "get" prints). Nothing to do on Linux.
void UseUtf8Console();

// Calls handler when the user interrupts the program (Ctrl+C or Ctrl+Break, closing the console on Windows;
// SIGINT or SIGTERM on Linux) instead of ending it. The handler runs on a signal handler (Linux) or on a thread of
// the system's (Windows): it may only set an atomic flag.
void OnInterrupt(void (*handler)());

// The broken-down local time of a moment; all zero when the system cannot convert it.
std::tm LocalTimeOf(std::time_t moment);
