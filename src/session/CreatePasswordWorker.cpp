#include "session/CreatePasswordWorker.h"

#include "device/NvrClient.h"

CreatePasswordWorker::CreatePasswordWorker(SearchDevice& discovery, CameraPasswordJob job, Report report)
    : CameraPasswordWorker(discovery, std::move(job), std::move(report))
{
}

CreatePasswordWorker::~CreatePasswordWorker()
{
    Stop(); // before the parts the thread calls go
}

bool CreatePasswordWorker::SendDatagram(NvrClient& client, const CameraTarget& target)
{
    return client.SendSetPassword(target.ip, target.mac, kCommandPort, "admin", job.oldPassword, job.password);
}

bool CreatePasswordWorker::SendHttp(NvrClient& client, const CameraTarget& target)
{
    return client.SetCameraPassword(target.host, target.port, "admin", job.oldPassword, job.password);
}

bool CreatePasswordWorker::TakenWhenDone(const NvrClient&) const
{
    return true;
}

// The camera's answer did not confirm the change where it is looked for (its confirmation may come late in the
// answer, or not at all): one login with the new password tells whether the camera has it now. A camera that
// still has its old password refuses it, so a change not made is never reported as made.
bool CreatePasswordWorker::SendHttpConfirmation(NvrClient& client, const CameraTarget& target)
{
    return client.CheckCameraLogin(target.host, target.port, "admin", job.password);
}
