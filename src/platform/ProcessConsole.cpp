#include "platform/ProcessConsole.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#else
#include <csignal>
#endif

namespace {

void (*interruptHandler)() = nullptr;

#ifdef _WIN32
BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
        if (interruptHandler != nullptr) {
            interruptHandler();
        }
        return TRUE; // handled: the process goes on and ends in its own time
    }
    return FALSE;
}
#else
void onSignal(int)
{
    if (interruptHandler != nullptr) {
        interruptHandler();
    }
}
#endif

} // namespace

void UseUtf8Console()
{
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

void OnInterrupt(void (*handler)())
{
    interruptHandler = handler;
#ifdef _WIN32
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

std::tm LocalTimeOf(std::time_t moment)
{
    std::tm local {};
#ifdef _WIN32
    if (localtime_s(&local, &moment) != 0) {
        local = std::tm {};
    }
#else
    if (localtime_r(&moment, &local) == nullptr) {
        local = std::tm {};
    }
#endif
    return local;
}
