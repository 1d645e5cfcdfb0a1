#pragma once
// What tests need from their own process that differs between the systems: a child in a network namespace of its
// own, and the count of the process's open descriptors (Linux) or handles (Windows).

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Runs `body` in a child process inside a new network namespace, after running each shell command of `setup`
// there. The body returns an empty text on success, else the failure it saw. Returns "skip: ..." when no
// namespace can be made (not root, or a system without network namespaces).
std::string RunInOwnNetns(const std::vector<std::string>& setup, const std::function<std::string()>& body);

// The process's open file descriptors (Linux) or kernel handles (Windows) right now.
size_t OpenHandleCount();

// Sets (or with nothing, removes) an environment variable of this process.
void SetEnvironment(const std::string& name, const std::string* value);

// Makes a new empty folder below the system's temporary folder, its name starting with prefix; its path (UTF-8,
// no trailing separator), or empty on failure.
std::string MakeTemporaryFolder(const std::string& prefix);

// Makes a symbolic link at link that points at target (a folder when folder is true). False when the system refuses.
bool MakeSymbolicLink(const std::string& target, const std::string& link, bool folder);
