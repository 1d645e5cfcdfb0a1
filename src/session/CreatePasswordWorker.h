#pragma once
// Sets the password created for a camera, authenticated with the camera's known password: the set-password
// datagram, or the camera's password change over HTTP (taken when the camera echoes the new password, or, when it
// does not, when the camera then accepts a login with the new password).

#include "session/CameraPasswordWorker.h"

class CreatePasswordWorker : public CameraPasswordWorker
{
public:
    CreatePasswordWorker(SearchDevice& discovery, CameraPasswordJob job, Report report);
    ~CreatePasswordWorker() override;

protected:
    bool SendDatagram(NvrClient& client, const CameraTarget& target) override;
    bool SendHttp(NvrClient& client, const CameraTarget& target) override;
    bool TakenWhenDone(const NvrClient& client) const override;
    bool SendHttpConfirmation(NvrClient& client, const CameraTarget& target) override;
};
