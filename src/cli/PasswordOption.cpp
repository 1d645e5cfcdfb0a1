#include "PasswordOption.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Longer than any password a recorder, camera or portal takes; a longer line is not a password.
constexpr size_t kMaxLine = 1024;

} // namespace

PasswordOption::PasswordOption(const std::string& name, const char* command)
    : name(name)
    , command(command)
{
}

bool PasswordOption::Handles(const std::string& option) const
{
    return option == ArgumentOption() || option == EnvironmentOption() || option == StdinOption();
}

bool PasswordOption::Take(const std::string& option, const std::string& optionValue)
{
    if (source != Source::None) {
        std::fprintf(stderr, "hxt914q-cli %s: give the %s once, by one of %s, %s or %s\n", command, name.c_str(),
            ArgumentOption().c_str(), EnvironmentOption().c_str(), StdinOption().c_str());
        return false;
    }
    if (option == EnvironmentOption() && optionValue.empty()) {
        std::fprintf(stderr, "hxt914q-cli %s: %s needs a variable's name\n", command, option.c_str());
        return false;
    }
    source = option == ArgumentOption() ? Source::Argument
        : option == EnvironmentOption() ? Source::Environment
                                        : Source::StandardInput;
    value = optionValue;
    return true;
}

std::optional<std::string> PasswordOption::Read(const std::string& fallback) const
{
    switch (source) {
    case Source::None:
        return fallback;
    case Source::Argument:
        return value;
    case Source::Environment: {
        const char* variable = std::getenv(value.c_str());
        if (variable == nullptr) {
            std::fprintf(stderr, "hxt914q-cli %s: the variable %s (%s) is not set\n", command, value.c_str(),
                EnvironmentOption().c_str());
            return std::nullopt;
        }
        return std::string(variable);
    }
    case Source::StandardInput:
        break;
    }
    // One line, read a byte at a time so that a second password's line stays for the next Read.
    std::string line;
    int c = 0;
    while ((c = std::getc(stdin)) != EOF && c != '\n') {
        if (line.size() >= kMaxLine) {
            std::fprintf(stderr, "hxt914q-cli %s: the %s line on standard input is too long\n", command, name.c_str());
            return std::nullopt;
        }
        line += static_cast<char>(c);
    }
    if (c == EOF && line.empty()) {
        std::fprintf(stderr, "hxt914q-cli %s: no %s line on standard input (%s)\n", command, name.c_str(),
            StdinOption().c_str());
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}
