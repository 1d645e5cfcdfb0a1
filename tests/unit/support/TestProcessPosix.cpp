#include "TestProcess.h"

#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

std::string RunInOwnNetns(const std::vector<std::string>& setup, const std::function<std::string()>& body)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return "pipe failed";
    }
    const pid_t child = fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        std::string result;
        if (unshare(CLONE_NEWNET) != 0) {
            result = "skip: cannot create a network namespace (needs root)";
        } else {
            for (const auto& command : setup) {
                if (result.empty() && std::system(command.c_str()) != 0) {
                    result = "setup failed: " + command;
                }
            }
            if (result.empty()) {
                result = body();
            }
        }
        ssize_t written = write(pipeFds[1], result.data(), result.size());
        (void)written;
        _exit(0);
    }
    ::close(pipeFds[1]);
    std::string result;
    char chunk[512];
    ssize_t n;
    while ((n = read(pipeFds[0], chunk, sizeof chunk)) > 0) {
        result.append(chunk, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "child process died";
    }
    return result;
}

size_t OpenHandleCount()
{
    size_t count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (const dirent* entry = readdir(dir)) {
            count += entry->d_name[0] != '.' ? 1 : 0;
        }
        closedir(dir);
    }
    return count - 1; // the listing's own descriptor
}

void SetEnvironment(const std::string& name, const std::string* value)
{
    if (value != nullptr) {
        ::setenv(name.c_str(), value->c_str(), 1);
    } else {
        ::unsetenv(name.c_str());
    }
}

std::string MakeTemporaryFolder(const std::string& prefix)
{
    std::string pattern = std::filesystem::temp_directory_path().string() + "/" + prefix + ".XXXXXX";
    return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

bool MakeSymbolicLink(const std::string& target, const std::string& link, bool)
{
    return ::symlink(target.c_str(), link.c_str()) == 0;
}
