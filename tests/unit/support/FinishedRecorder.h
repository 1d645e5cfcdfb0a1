#pragma once
// The recorder part of a session after a whole run, with a password wherever the wizard keeps one: shared by the
// tests of the setup report and of the page that saves it (each adds the disks and cameras it needs).

#include "session/WizardSession.h"

inline void SetFinishedRecorder(WizardSession& session)
{
    session.recorder.address = "10.77.0.10";
    session.recorder.mac = "00:1a:2b:3c:4d:5e";
    session.recorder.user = "admin";
    session.recorder.password = "Garden2024";
    session.recorder.model = "HXT-914Q";
    session.recorder.webPort = 8080;
    session.zoneName = "(GMT+01:00) Amsterdam";
    session.SetCloudAccount("anna+nvr@example.com", "Sunflower77");
    session.cloudNumber = "7730012";
}
