#include "device/PortalHosts.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>

namespace {

struct PortalDomain
{
    std::string_view name;
    bool labOnly;
};

// The portal's domains. The lab's portal stands in for the maker's and is trusted nowhere else.
constexpr std::array<PortalDomain, 2> kPortalDomains { {
    { "quelmo.com", false },
    { "quelmo.lab", true },
} };

std::string lowerCase(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// A host name as compared: lower case, without the root label's final ".".
std::string canonicalHost(std::string_view host)
{
    std::string name = lowerCase(host);
    if (!name.empty() && name.back() == '.')
        name.pop_back();
    return name;
}

bool endsWithLabel(const std::string& host, std::string_view domain)
{
    if (host == domain)
        return true;
    return host.size() > domain.size() && host.compare(host.size() - domain.size(), domain.size(), domain) == 0
        && host[host.size() - domain.size() - 1] == '.';
}

} // namespace

bool IsMakerPortalHost(std::string_view host)
{
    const std::string name = canonicalHost(host); // "quelmo.com." names the same host
    if (name.empty())
        return false;
    const bool lab = RunsInLab();
    return std::any_of(kPortalDomains.begin(), kPortalDomains.end(),
        [&](const PortalDomain& domain) { return (lab || !domain.labOnly) && endsWithLabel(name, domain.name); });
}

bool MayUsePortalHost(std::string_view host, std::string_view namedHost)
{
    if (IsMakerPortalHost(host))
        return true;
    const std::string name = canonicalHost(host);
    return !name.empty() && name == canonicalHost(namedHost);
}

bool RunsInLab()
{
    const char* pcNamespace = std::getenv("LAB_PC");
    return pcNamespace != nullptr && *pcNamespace != '\0';
}
