#include "session/VerifyWorker.h"

#include "device/NvrClient.h"

VerifyWorker::VerifyWorker(SearchDevice& discovery, CameraPasswordJob job, Report report)
    : CameraPasswordWorker(discovery, std::move(job), std::move(report))
{
}

VerifyWorker::~VerifyWorker()
{
    Stop(); // before the parts the thread calls go
}

bool VerifyWorker::SendDatagram(NvrClient& client, const CameraTarget& target)
{
    return client.SendLogin(target.ip, target.mac, kCommandPort, "admin", job.password);
}

bool VerifyWorker::SendHttp(NvrClient& client, const CameraTarget& target)
{
    return client.CheckCameraLogin(target.host, target.port, "admin", job.password);
}

bool VerifyWorker::TakenWhenDone(const NvrClient& client) const
{
    // A datagram answer says Done for a wrong password too; its login result tells.
    return !job.useUdp || client.LoginResult() == 1;
}
