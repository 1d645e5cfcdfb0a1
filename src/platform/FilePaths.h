#pragma once
// Paths as the program holds them: UTF-8 text, with "/" (and on Windows also "\") between the parts. Opening a
// file by such a path goes through here, so a name outside the ANSI code page reaches Windows unchanged.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

// Whether c separates the parts of a path: "/" everywhere, "\" too on Windows.
bool IsPathSeparator(char c);

// Whether path names the same place from any current folder: "/..." on Linux; "X:\", "X:/", "\\server\share" or
// "//server/share" on Windows ("\name" and "X:name" depend on the current drive or folder there, so they are not).
bool IsAbsolutePath(std::string_view path);

// The position where the last part of path (its file name) starts: after the last separator, 0 when none.
size_t FileNameStart(std::string_view path);

// The path as the system's file functions take it (UTF-16 on Windows).
std::filesystem::path NativePath(const std::string& utf8Path);

// std::fopen for a UTF-8 path: mode as fopen's ("r", "w", "wb", ...). nullptr on failure.
std::FILE* OpenFile(const std::string& utf8Path, const char* mode);
