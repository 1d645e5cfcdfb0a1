#pragma once
// The recorder's cloud-portal record: six texts named after the keys of the recorder's answer.
// Filled by the camera page, read by the cloud page and the summary.

#include <string>

struct CloudPortalInfo
{
    std::string status;
    std::string access;
    std::string portal_url;
    std::string portal_number;
    std::string portal_dfp;
    std::string localhyperlink;
    // The camera page could not read the recorder's cloud registration and the user went on without the cloud
    // service: the summary says that step was not done.
    bool skipped = false;
};
