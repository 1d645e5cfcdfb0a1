// Where a camera password job goes when the discovery table does not know the camera: the host and port written in
// its address (a datagram cannot go at all).
#include "discovery/SearchDevice.h"
#include "session/CameraPasswordWorker.h"

#include <gtest/gtest.h>

TEST(CameraTarget, cameraUnknownToTheDiscoveryTableIsReachedOnThePortInItsAddress)
{
    const struct
    {
        const char* address;
        const char* host;
        int port; // 0: the HTTP client's default
    } cases[] = {
        { "10.0.0.5", "10.0.0.5", 0 },
        { "10.0.0.5:8080", "10.0.0.5", 8080 },
        { "10.0.0.5:1", "10.0.0.5", 1 },
        { "10.0.0.5:65535", "10.0.0.5", 65535 },
        { "10.0.0.5:", "10.0.0.5", 0 },
        { "10.0.0.5:0", "10.0.0.5", 0 },
        { "10.0.0.5:65536", "10.0.0.5", 0 },
        { "10.0.0.5:99999999999", "10.0.0.5", 0 },
        { "10.0.0.5:80a", "10.0.0.5", 0 },
        { "10.0.0.5:-80", "10.0.0.5", 0 },
        { "10.0.0.5: 80", "10.0.0.5", 0 },
        { "10.0.0.5:80:90", "10.0.0.5", 0 },
    };
    const SearchDevice empty; // never searched: knows no camera
    for (const auto& c : cases) {
        CameraPasswordJob job;
        job.mac = "00:3e:0b:00:00:01";
        job.address = c.address;
        const CameraTarget target = CameraPasswordWorker::Resolve(job, empty);
        EXPECT_EQ(target.host, c.host) << c.address;
        EXPECT_EQ(target.port, c.port) << c.address;
        EXPECT_TRUE(target.sendable) << c.address;

        job.useUdp = true;
        EXPECT_FALSE(CameraPasswordWorker::Resolve(job, empty).sendable) << c.address;
    }
}
