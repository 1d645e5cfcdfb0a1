#pragma once
// A reference MD5 from the system's cryptography (OpenSSL on Linux, BCrypt on Windows), so that the cross-checks
// of the digest code do not trust our own code.

#include <string>

// The MD5 of bytes as 32 lowercase hexadecimal digits.
std::string referenceMd5Hex(const std::string& bytes);
