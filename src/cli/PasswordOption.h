#pragma once
// A password a command needs, given in one of three ways: --NAME P on the command line (seen by every local user
// in the process list, so for trials only), --NAME-env VAR (the value of that environment variable) or
// --NAME-stdin (one line read from standard input).

#include <optional>
#include <string>

class PasswordOption
{
public:
    // name: the option without dashes ("password", "new-password"); command: for messages.
    PasswordOption(const std::string& name, const char* command);

    // "--password", "--password-env" (each with a value) and "--password-stdin" (a flag).
    std::string ArgumentOption() const { return "--" + name; }
    std::string EnvironmentOption() const { return "--" + name + "-env"; }
    std::string StdinOption() const { return "--" + name + "-stdin"; }

    // Whether the option is one of this password's three.
    bool Handles(const std::string& option) const;
    // Takes one of this password's options; false (message on stderr) when the password was already given.
    bool Take(const std::string& option, const std::string& value);
    bool Given() const { return source != Source::None; }

    // The password: the argument, the variable's value or standard input's next line (without its line end);
    // `fallback` when none was given. Nothing (message on stderr) when the variable is not set or standard input
    // has no line.
    std::optional<std::string> Read(const std::string& fallback = std::string()) const;

private:
    enum class Source { None, Argument, Environment, StandardInput };

    std::string name;
    const char* command;
    Source source = Source::None;
    std::string value; // the password, or the variable's name
};
