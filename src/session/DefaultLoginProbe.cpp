#include "session/DefaultLoginProbe.h"

#include "device/NvrClient.h"
#include "discovery/SearchDevice.h"
#include "platform/WaitTimeline.h"

DefaultLoginProbe::DefaultLoginProbe(SearchDevice& searchDevice, NvrClient& nvrClient, std::function<void()> onFailed)
    : search(searchDevice)
    , client(nvrClient)
    , failed(std::move(onFailed))
{
}

DefaultLoginProbe::~DefaultLoginProbe()
{
    Stop();
}

void DefaultLoginProbe::Start(const ChosenRecorder& recorder)
{
    Stop();
    // Published before the thread starts, so the password page built right after sees the probe running.
    probeBusy.store(1);
    defaultLoginAccepted.store(0);
    defaultLoginRefused.store(1);
    thread.Start([this, recorder] { run(recorder); });
}

void DefaultLoginProbe::Stop()
{
    thread.Stop(kStopLimitMs, [this] { client.Stop(); });
}

bool DefaultLoginProbe::SendDefaultLogin(SearchDevice& search, NvrClient& client, const ChosenRecorder& recorder)
{
    if (recorder.address.empty() || recorder.mac.empty())
        return false;
    if (search.EndpointCount() < 1)
        return false;
    const int32_t interfaceIndex = search.InterfaceForIp(recorder.address);
    if (interfaceIndex < 0)
        return false;
    const std::string localAddress = search.LocalAddress(interfaceIndex);
    if (localAddress.empty() || !client.OpenUdp(localAddress))
        return false;
    std::array<uint8_t, 4> ip {};
    std::array<uint8_t, 6> mac {};
    if (!SearchDevice::ParseIpText(recorder.address, ip) || !SearchDevice::ParseMacText(recorder.mac, mac))
        return false;
    return client.SendLogin(ip, mac, kRecorderPort, "admin", "");
}

int32_t DefaultLoginProbe::Outcome(const NvrClient& client)
{
    switch (client.State()) {
    case NvrClient::Busy:
        return 0;
    case NvrClient::Done: {
        const int32_t result = client.LoginResult();
        return result == 0 ? -2 : result;
    }
    case NvrClient::TimedOut:
        return -1;
    default: // Idle, Failed
        return -2;
    }
}

void DefaultLoginProbe::run(const ChosenRecorder& recorder)
{
    defaultLoginAccepted.store(0);
    defaultLoginRefused.store(1);
    probeBusy.store(1);
    if (thread.running()) {
        if (!SendDefaultLogin(search, client, recorder)) {
            // Unreachable: the page asks for a new password and shows the network error.
            defaultLoginAccepted.store(1);
            defaultLoginRefused.store(0);
            if (failed)
                failed();
        } else {
            int32_t r = 0;
            for (int round = 0; round < kRounds && r == 0; ++round) {
                WaitTimeline::Note("login probe round", kRoundMs);
                if (!thread.Sleep(kRoundMs))
                    break;
                r = Outcome(client);
            }
            if (!thread.running()) {
                defaultLoginAccepted.store(0);
                defaultLoginRefused.store(1);
            } else if (r == 1) {
                defaultLoginAccepted.store(1);
                defaultLoginRefused.store(0);
            } else if (r == -1) {
                defaultLoginAccepted.store(1);
                defaultLoginRefused.store(0);
                if (failed)
                    failed();
            } else {
                defaultLoginAccepted.store(0);
                defaultLoginRefused.store(1);
            }
        }
    }
    probeBusy.store(0);
    thread.clearRunFlag();
}
