#pragma once
// What lives longer than one page: the session, the portal record, the discovery table, the request object and
// the two background services. The host owns one; every page is given it and reaches the shared objects here.

#include "session/CloudPortalInfo.h"
#include "session/DefaultLoginProbe.h"
#include "session/ChosenRecorder.h"
#include "session/StorageWatch.h"
#include "session/WizardSession.h"

#include <functional>
#include <memory>

class NvrClient;
class SearchDevice;

class WizardContext
{
public:
    // probeFailed and storageChanged are called on the services' own threads.
    WizardContext(std::function<void()> probeFailed, std::function<void()> storageChanged);
    ~WizardContext(); // stops both services before anything they use goes
    WizardContext(const WizardContext&) = delete;
    WizardContext& operator=(const WizardContext&) = delete;

    WizardSession& Session() { return session; }
    CloudPortalInfo& Portal() { return portal; }
    SearchDevice& DiscoveryEngine() { return *discovery; }
    NvrClient& Client() { return *client; }
    DefaultLoginProbe& Probe() { return *probe; }
    StorageWatch& Storage() { return *storage; }
    // The session's recorder now (a copy: a page keeps the one it was built with).
    ChosenRecorder Recorder() const { return session.recorder; }

    // Stops the storage watch and the probe (each at most 3000 ms).
    void StopServices();

private:
    WizardSession session;
    CloudPortalInfo portal;
    std::unique_ptr<SearchDevice> discovery;
    std::unique_ptr<NvrClient> client;
    std::unique_ptr<DefaultLoginProbe> probe;
    std::unique_ptr<StorageWatch> storage;
};
