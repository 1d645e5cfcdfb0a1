#pragma once
// The program's private per-user folder below the system temporary folder (language packs live there),
// and reading and writing files in it without ever following a symbolic link.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class TempFolder
{
public:
    // The private folder, "<system temporary folder>/hxt-914q-<uid>/" (ending with "/"). It is created
    // with mode 0700 when missing. An existing one is used only when it is a real folder (not a
    // symbolic link) owned by the user with mode 0700; otherwise the result is empty. The system
    // temporary folder is $TMPDIR when that is an absolute path, else "/tmp".
    // Windows: "<GetTempPath>hxt-914q-<SID>/" (every "\\" written "/"), created with an access list that admits
    // only the user; an existing one must be a folder owned by the user and no reparse point (junction, symbolic
    // link).
    static std::string Path();

    // The private folder's own name: "hxt-914q-<uid>" on Linux, "hxt-914q-<user SID>" on Windows.
    static std::string FolderName();

    // The variable that names the system temporary folder: TMPDIR on Linux; TMP on Windows (where TEMP and the
    // user's profile follow when it is unset).
    static const char* SystemFolderVariable();

    // Puts a regular file holding bytes (mode 0600) at path, replacing what was there in one step:
    // readers see the old contents or the new, never a part. A symbolic link at path is replaced, not
    // followed; a folder at path makes it fail. False on any failure, with nothing left behind.
    static bool WriteFile(const std::string& path, std::string_view bytes);

    // The contents of the regular file at path, read without following a symbolic link; nothing when
    // it is missing, not a regular file, unreadable or larger than maxBytes.
    static std::optional<std::string> ReadFile(const std::string& path, size_t maxBytes);
};
