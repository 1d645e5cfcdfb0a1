#include "TempFolder.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kFolderMode = 0700;

std::string systemTempFolder()
{
    const char* tmpdir = std::getenv("TMPDIR");
    std::string base = (tmpdir != nullptr && tmpdir[0] == '/') ? tmpdir : "/tmp";
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    return base;
}

// Closes a descriptor when the scope ends.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : fd_(fd)
    {
    }
    ~Descriptor()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports whether the close (and so a pending write-back) succeeded.
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

} // namespace

std::string TempFolder::FolderName()
{
    return "hxt-914q-" + std::to_string(::geteuid());
}

const char* TempFolder::SystemFolderVariable()
{
    return "TMPDIR";
}

std::string TempFolder::Path()
{
    const uid_t user = ::geteuid();
    const std::string folder = systemTempFolder() + "/" + FolderName();

    const bool created = ::mkdir(folder.c_str(), kFolderMode) == 0;
    if (!created && errno != EEXIST) {
        return {};
    }
    // O_NOFOLLOW refuses a symbolic link in the folder's place; the checks below run on what was opened.
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (dir.get() < 0) {
        return {};
    }
    struct stat info
    {
    };
    if (::fstat(dir.get(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != user) {
        return {};
    }
    if ((info.st_mode & 07777) != kFolderMode) {
        // A folder made just now may have lost bits to the umask; someone else's choice is not overridden.
        if (!created || ::fchmod(dir.get(), kFolderMode) != 0) {
            return {};
        }
    }
    return folder + "/";
}

bool TempFolder::WriteFile(const std::string& path, std::string_view bytes)
{
    // The bytes go to a new file beside path (O_EXCL: never an existing file or link), which then
    // replaces path in one step, so a reader on another thread sees the old file or the new one whole.
    std::string temporary = path + ".XXXXXX";
    Descriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.get() < 0) {
        return false;
    }
    bool ok = true;
    size_t written = 0;
    while (ok && written < bytes.size()) {
        const ssize_t n = ::write(file.get(), bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno != EINTR) {
            ok = false;
        } else if (n > 0) {
            written += static_cast<size_t>(n);
        }
    }
    ok = file.close() && ok;
    // rename() replaces whatever non-folder entry is at path (a symbolic link itself, never its target).
    if (!ok || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::optional<std::string> TempFolder::ReadFile(const std::string& path, size_t maxBytes)
{
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        return std::nullopt;
    }
    struct stat info
    {
    };
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0
        || static_cast<unsigned long long>(info.st_size) > maxBytes) {
        return std::nullopt;
    }
    std::string contents;
    contents.resize(static_cast<size_t>(info.st_size));
    size_t done = 0;
    // The file may change size while it is read: stop at its end or at the size seen, whichever is first.
    while (done < contents.size()) {
        const ssize_t n = ::read(file.get(), contents.data() + done, contents.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    contents.resize(done);
    return contents;
}
