#pragma once
// Tries the password entered for a camera: the login datagram (accepted when the camera answers with login result
// 1) or the camera's login check over HTTP (accepted on status 200).

#include "session/CameraPasswordWorker.h"

class VerifyWorker : public CameraPasswordWorker
{
public:
    VerifyWorker(SearchDevice& discovery, CameraPasswordJob job, Report report);
    ~VerifyWorker() override;

protected:
    bool SendDatagram(NvrClient& client, const CameraTarget& target) override;
    bool SendHttp(NvrClient& client, const CameraTarget& target) override;
    bool TakenWhenDone(const NvrClient& client) const override;
};
