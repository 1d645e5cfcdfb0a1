#include "session/WizardContext.h"

#include "device/NvrClient.h"
#include "discovery/SearchDevice.h"

WizardContext::WizardContext(std::function<void()> probeFailed, std::function<void()> storageChanged)
    : discovery(std::make_unique<SearchDevice>())
    , client(std::make_unique<NvrClient>())
    , probe(std::make_unique<DefaultLoginProbe>(*discovery, *client, std::move(probeFailed)))
    , storage(std::make_unique<StorageWatch>(*client, std::move(storageChanged)))
{
}

WizardContext::~WizardContext()
{
    StopServices();
}

void WizardContext::StopServices()
{
    storage->Stop();
    probe->Stop();
}
