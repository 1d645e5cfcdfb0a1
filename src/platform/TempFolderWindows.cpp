#include "TempFolder.h"

#include "platform/CodePage.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <atomic>
#include <memory>

namespace {

std::wstring wide(const std::string& utf8)
{
    const std::u16string text = Utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

std::string narrow(const std::wstring& text)
{
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

// The user this process runs as, as its SID text ("S-1-5-21-..."); empty when the token cannot be read.
std::wstring userSid()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return {};
    }
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::unique_ptr<BYTE[]> buffer(new BYTE[size > 0 ? size : 1]);
    std::wstring text;
    if (size > 0 && GetTokenInformation(token, TokenUser, buffer.get(), size, &size)) {
        wchar_t* sidText = nullptr;
        if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid, &sidText)) {
            text = sidText;
            LocalFree(sidText);
        }
    }
    CloseHandle(token);
    return text;
}

// Whether the folder's owner is the user of that SID text.
bool ownedBy(const std::wstring& folder, const std::wstring& sidText)
{
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
            nullptr, &descriptor)
        != ERROR_SUCCESS) {
        return false;
    }
    bool same = false;
    PSID user = nullptr;
    if (ConvertStringSidToSidW(sidText.c_str(), &user)) {
        same = owner != nullptr && EqualSid(owner, user);
        LocalFree(user);
    }
    LocalFree(descriptor);
    return same;
}

// A handle closed when the scope ends.
class FileHandle
{
public:
    explicit FileHandle(HANDLE handle)
        : handle_(handle)
    {
    }
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool close()
    {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle);
    }

private:
    HANDLE handle_;
};

} // namespace

std::string TempFolder::FolderName()
{
    return "hxt-914q-" + narrow(userSid());
}

const char* TempFolder::SystemFolderVariable()
{
    return "TMP";
}

std::string TempFolder::Path()
{
    wchar_t base[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, base);
    const std::wstring sid = userSid();
    if (length == 0 || length > MAX_PATH || sid.empty()) {
        return {};
    }
    const std::wstring folder = std::wstring(base, length) + L"hxt-914q-" + sid;

    // Only the user, and the folders and files below inheriting that: the owner-only counterpart of mode 0700.
    const std::wstring sddl = L"O:" + sid + L"D:P(A;OICI;FA;;;" + sid + L")";
    SECURITY_ATTRIBUTES attributes { sizeof attributes, nullptr, FALSE };
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            sddl.c_str(), SDDL_REVISION_1, &attributes.lpSecurityDescriptor, nullptr)) {
        return {};
    }
    const bool created = CreateDirectoryW(folder.c_str(), &attributes) != 0;
    const DWORD createError = GetLastError();
    LocalFree(attributes.lpSecurityDescriptor);
    if (!created && createError != ERROR_ALREADY_EXISTS) {
        return {};
    }
    // A junction or symbolic link in the folder's place is refused, like a folder someone else made.
    const DWORD kind = GetFileAttributesW(folder.c_str());
    if (kind == INVALID_FILE_ATTRIBUTES || (kind & FILE_ATTRIBUTE_DIRECTORY) == 0
        || (kind & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return {};
    }
    if (!created && !ownedBy(folder, sid)) {
        return {};
    }
    // Held with "/" between the parts, as every path of the program (Windows takes both separators).
    std::string path = narrow(folder) + "/";
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    return path;
}

bool TempFolder::WriteFile(const std::string& path, std::string_view bytes)
{
    // The bytes go to a new file beside path (CREATE_NEW: never an existing file or link), which then replaces
    // path in one step, so a reader on another thread sees the old file or the new one whole.
    static std::atomic<unsigned> serial { 0 };
    const std::wstring target = wide(path);
    const std::wstring temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-"
        + std::to_wstring(serial.fetch_add(1)) + L".tmp";
    FileHandle file(CreateFileW(
        temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return false;
    }
    bool ok = true;
    size_t written = 0;
    while (ok && written < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 20));
        DWORD done = 0;
        ok = ::WriteFile(file.get(), bytes.data() + written, chunk, &done, nullptr) != 0 && done > 0;
        written += done;
    }
    ok = file.close() && ok;
    // MoveFileExW replaces a file or a link of that name (the link itself, never its target); a folder makes it fail.
    if (!ok || !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

std::optional<std::string> TempFolder::ReadFile(const std::string& path, size_t maxBytes)
{
    // FILE_FLAG_OPEN_REPARSE_POINT opens a link itself, which the checks below then refuse.
    FileHandle file(CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info {};
    if (!GetFileInformationByHandle(file.get(), &info)
        || (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        return std::nullopt;
    }
    const unsigned long long size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > maxBytes) {
        return std::nullopt;
    }
    std::string contents;
    contents.resize(static_cast<size_t>(size));
    size_t done = 0;
    // The file may change size while it is read: stop at its end or at the size seen, whichever is first.
    while (done < contents.size()) {
        DWORD got = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(contents.size() - done, 1u << 20));
        if (!::ReadFile(file.get(), contents.data() + done, chunk, &got, nullptr)) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    contents.resize(done);
    return contents;
}
