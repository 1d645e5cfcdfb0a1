#pragma once
// A shared library loaded at run time, by the name its system gives it: "libNAME.so.VERSION" on Linux, "NAME.dll"
// (as built for Windows, with the "lib" prefix) beside the program on Windows. Loaded libraries stay loaded.

#include <string>

class SharedLibrary
{
public:
    // The file name of library base (such as "curl") with major version (such as 4) on this system.
    static std::string FileName(const std::string& base, int version);

    // Loads the library of that file name. On Windows only the program's own folder and the system folder are
    // searched (never the current folder or PATH, where another copy could be planted). Nothing on failure, with
    // the reason in error when it is given.
    static SharedLibrary Load(const std::string& fileName, std::string* error);

    bool IsLoaded() const { return handle != nullptr; }
    // The entry point of that name, nullptr when the library lacks it.
    void* Symbol(const char* name) const;

private:
    void* handle = nullptr;
};
