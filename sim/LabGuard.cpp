// The simulator's lab checks: its network namespace and the user it runs as.
#include "LabGuard.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A decimal id from the environment; false when unset, empty, not a number or 0 (root).
bool idFromEnvironment(const char* name, unsigned long& id)
{
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    id = std::strtoul(text, &end, 10);
    return errno == 0 && end != nullptr && *end == '\0' && id != 0;
}

} // namespace

bool InSeparateNetworkNamespace(std::string& why)
{
    struct stat self {};
    if (::stat("/proc/self/ns/net", &self) != 0) {
        why = std::string("cannot read this process's network namespace: ") + std::strerror(errno);
        return false;
    }
    // A namespace that `ip netns add` named is bind-mounted below /run/netns.
    if (DIR* named = ::opendir("/run/netns")) {
        bool found = false;
        while (const dirent* entry = ::readdir(named)) {
            struct stat other {};
            const std::string path = std::string("/run/netns/") + entry->d_name;
            if (entry->d_name[0] != '.' && ::stat(path.c_str(), &other) == 0 && sameFile(self, other)) {
                found = true;
                break;
            }
        }
        ::closedir(named);
        if (found) {
            return true;
        }
    }
    struct stat machine {};
    if (::stat("/proc/1/ns/net", &machine) != 0) {
        why = std::string("cannot tell whether this is the machine's own network namespace: ") + std::strerror(errno);
        return false;
    }
    if (sameFile(self, machine)) {
        why = "this is the machine's own network namespace";
        return false;
    }
    return true;
}

bool DropToCallingUser(bool& dropped, std::string& error)
{
    dropped = false;
    unsigned long uid = 0;
    unsigned long gid = 0;
    if (::geteuid() != 0 || !idFromEnvironment("SUDO_UID", uid)) {
        return true;
    }
    if (!idFromEnvironment("SUDO_GID", gid)) {
        error = "SUDO_UID is set but SUDO_GID is not a group id";
        return false;
    }
    // Groups first, then the group, then the user: once the user is dropped nothing else may change.
    if (::setgroups(0, nullptr) != 0 || ::setresgid(static_cast<gid_t>(gid), static_cast<gid_t>(gid), static_cast<gid_t>(gid)) != 0
        || ::setresuid(static_cast<uid_t>(uid), static_cast<uid_t>(uid), static_cast<uid_t>(uid)) != 0) {
        error = std::string("cannot become the calling user: ") + std::strerror(errno);
        return false;
    }
    if (::setuid(0) == 0) {
        error = "root could be taken back after dropping it";
        return false;
    }
    dropped = true;
    return true;
}
