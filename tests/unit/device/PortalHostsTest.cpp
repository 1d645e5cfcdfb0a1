// Where the cloud account may go: the maker's portal domains, the lab's only inside the lab, and otherwise only
// the one host the user or the plan named.
#include "device/PortalHosts.h"
#include "TestProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Sets LAB_PC for one scope (scripts/lab sets it for every command it runs in the lab) and restores it.
class LabEnvironment
{
public:
    explicit LabEnvironment(bool inLab)
    {
        if (const char* value = std::getenv("LAB_PC"))
            saved = value;
        const std::string labPc = "hxq-pc-test";
        SetEnvironment("LAB_PC", inLab ? &labPc : nullptr);
    }
    ~LabEnvironment()
    {
        SetEnvironment("LAB_PC", saved ? &*saved : nullptr);
    }

private:
    std::optional<std::string> saved;
};

} // namespace

TEST(PortalHosts, onlyTheMakersDomainsAreUsedWithoutAskingAndTheLabsOnlyInTheLab)
{
    const struct
    {
        const char* host;
        bool outsideLab;
        bool insideLab;
    } cases[] = {
        { "quelmo.com", true, true },
        { "cloud.quelmo.com", true, true },
        { "EU.Quelmo.COM", true, true },
        { "quelmo.com.", true, true },
        { "cloud.quelmo.lab", false, true },
        { "quelmo.lab", false, true },
        { "evilquelmo.com", false, false }, // not a name below the domain
        { "quelmo.com.evil.example", false, false },
        { "cloud.quelmo.community", false, false },
        { "portal.example.net", false, false },
        { "10.77.0.250", false, false }, // an address, whatever it points at
        { "", false, false },
    };
    for (const auto& c : cases) {
        {
            LabEnvironment outside(false);
            EXPECT_EQ(IsMakerPortalHost(c.host), c.outsideLab) << c.host << " outside the lab";
            EXPECT_EQ(MayUsePortalHost(c.host, ""), c.outsideLab) << c.host << " outside the lab, none named";
        }
        LabEnvironment inside(true);
        EXPECT_EQ(IsMakerPortalHost(c.host), c.insideLab) << c.host << " in the lab";
    }
}

TEST(PortalHosts, aHostOutsideTheDomainsIsUsedOnlyWhenExactlyThatHostWasNamed)
{
    LabEnvironment outside(false);
    const struct
    {
        const char* host;
        const char* named;
        bool used;
    } cases[] = {
        { "portal.example.net", "portal.example.net", true },
        { "Portal.Example.NET", "portal.example.net.", true },
        { "10.77.0.250", "10.77.0.250", true },
        { "portal.example.net", "example.net", false }, // a parent names no other host
        { "evil.portal.example.net", "portal.example.net", false },
        { "portal.example.net", "10.77.0.250", false },
        { "", "", false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(MayUsePortalHost(c.host, c.named), c.used) << c.host << " named " << c.named;
}
