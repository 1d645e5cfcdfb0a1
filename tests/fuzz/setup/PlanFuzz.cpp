// Feeds arbitrary text to the plan reader: it never fails to answer, a plan it accepts keeps every promise of the
// checks (a way to find each recorder, a password that passes the rule, at most four cameras, MACs in one form),
// and every fault it reports says what is wrong.
#include "device/AdminPasswordRule.h"
#include "setup/plan/SetupPlan.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool IsNormalMac(const std::string& mac)
{
    if (mac.size() != 17)
        return false;
    for (size_t i = 0; i < mac.size(); ++i) {
        const char c = mac[i];
        if (i % 3 == 2 ? c != ':' : !((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), data != nullptr ? size : 0);
    const EnvLookup env = [](const std::string& name) -> std::optional<std::string> {
        if (name == "SET")
            return std::string("Fuzz1234");
        return std::nullopt;
    };
    const PlanRead read = ReadPlanText(text, "fuzz.toml", env);
    for (const PlanError& error : read.errors) {
        if (error.message.empty() || error.line < 0 || error.file != "fuzz.toml")
            std::abort();
    }
    if (!read.Ok())
        return 0;
    if (read.plan.recorders.empty())
        std::abort();
    int everyNew = 0;
    for (const PlanRecorder& recorder : read.plan.recorders) {
        everyNew += recorder.everyNew ? 1 : 0;
        if (recorder.everyNew == !recorder.mac.empty() || (!recorder.everyNew && !IsNormalMac(recorder.mac)))
            std::abort();
        if (!AdminPasswordPassesRule(recorder.password) || recorder.cameras.size() > 4)
            std::abort();
        if (!recorder.zoneName.empty() && recorder.zoneNumber != 0)
            std::abort();
        for (const PlanCamera& camera : recorder.cameras) {
            if (!IsNormalMac(camera.mac) || camera.password.empty())
                std::abort();
        }
        if (recorder.cloud && (recorder.cloud->email.empty() || recorder.cloud->password.empty()))
            std::abort();
    }
    if (everyNew > 1)
        std::abort();
    return 0;
}
