// The request object against the simulator in the lab (run by device_lab.sh in the pc namespace, with
// tests/e2e/cli/get.conf): recorder commands over HTTP and HTTPS with Digest, the camera CGI, and the
// portal over HTTPS trusted through the lab CA. Values with "&", "#", "+" and spaces must arrive intact.
#include "device/NvrClient.h"
#include "net/HttpGet.h"
#include "support/SimTextLink.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

const std::string kRecorder = "10.77.0.10";
const std::string kPassword = "Secret99";
const std::string kCamera = "10.77.0.20";
const std::string kVersion = "HXT-914Q_V 2.02.00";

int32_t finish(const NvrClient& client)
{
    const auto end = std::chrono::steady_clock::now() + 35s;
    while (client.State() == NvrClient::Busy && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(20ms);
    }
    return client.State();
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

// A recorder answer read the way the pages read the direct endpoints.
std::string recorderAnswer(const std::string& path, bool secure)
{
    HttpGet http;
    if (!http.Open(kRecorder, "admin", kPassword, 6000, secure ? 1 : 0, 0, HttpGet::CertificateCheck::Relaxed)) {
        return {};
    }
    std::vector<char> buffer(64000, '\0');
    size_t size = buffer.size();
    return http.FetchAll(path, buffer.data(), size) ? std::string(buffer.data(), size) : std::string();
}

TEST(NvrClientLab, recorderCommandsOverHttpAndHttps)
{
    NvrClient client;
    ASSERT_TRUE(client.GetCloudPortal(kRecorder, 80, "admin", kPassword));
    ASSERT_EQ(finish(client), NvrClient::Done);
    const auto portal = split(client.PortalInfo(), '&');
    ASSERT_EQ(portal.size(), 7u) << client.PortalInfo();
    EXPECT_EQ(portal[2], std::getenv("LAB_PORTAL_HOST") ? std::getenv("LAB_PORTAL_HOST") : "cloud.quelmo.lab");
    EXPECT_EQ(portal[5], "HXT-914Q");

    ASSERT_TRUE(client.FormatDisk(kRecorder, 80, "admin", kPassword, 0, 0, 1));
    ASSERT_EQ(finish(client), NvrClient::Done);
    int32_t progress = 0;
    for (int i = 0; i < 40 && progress < 100; ++i) {
        ASSERT_TRUE(client.PollFormat(kRecorder, 80, "admin", kPassword));
        ASSERT_EQ(finish(client), NvrClient::Done);
        progress = client.FormatProgress();
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_EQ(progress, 100);

    // Base64 account and password; the name with "&" and a space is percent-encoded.
    ASSERT_TRUE(client.AddCamera(kRecorder, 80, "admin", kPassword, 2, "Door & yard", kCamera, "00:3e:0b:00:00:01", 1,
        "admin", "ab#cd&12", "Veskor", "QC-210"));
    ASSERT_EQ(finish(client), NvrClient::Done);
    ASSERT_TRUE(client.DiscoverCameras(kRecorder, 80, "admin", kPassword)); // HTTPS
    ASSERT_EQ(finish(client), NvrClient::Done);
    const std::string first = client.NextListItem();
    const auto fields = split(first, ';');
    ASSERT_GE(fields.size(), 9u) << first;
    EXPECT_EQ(fields[0], "1");
    EXPECT_EQ(fields[1], kCamera);
    EXPECT_NE(first.find("ab#cd&12"), std::string::npos) << first;
    EXPECT_TRUE(SimTextLink().StateHolds("\"Door & yard\"")) << "the camera name as the recorder stored it";
    ASSERT_TRUE(client.DeleteCamera(kRecorder, 80, "admin", kPassword, 2));
    ASSERT_EQ(finish(client), NvrClient::Done);

    ASSERT_TRUE(client.SetCloudRegStatus(kRecorder, 80, "admin", kPassword, 1));
    ASSERT_EQ(finish(client), NvrClient::Done);
    ASSERT_TRUE(client.SetCloudRegInfo(kRecorder, 80, "admin", kPassword, "owner+cam@example.lab", "Cl&ud 1#"));
    ASSERT_EQ(finish(client), NvrClient::Done);
    const std::string info = recorderAnswer("/config/quelmoreginfo", true);
    EXPECT_NE(info.find("email=owner+cam@example.lab\r\n"), std::string::npos) << info;
    EXPECT_NE(info.find("password=Cl&ud 1#\r\n"), std::string::npos) << info;

    ASSERT_TRUE(client.PollFormat(kRecorder, 80, "admin", "wrong"));
    EXPECT_EQ(finish(client), NvrClient::Failed);
}

TEST(NvrClientLab, cameraLoginAndPasswordChange)
{
    NvrClient client;
    ASSERT_TRUE(client.CheckCameraLogin(kCamera, 80, "admin", ""));
    EXPECT_EQ(finish(client), NvrClient::Done);
    ASSERT_TRUE(client.SetCameraPassword(kCamera, 80, "admin", "", "ab#cd12"));
    EXPECT_EQ(finish(client), NvrClient::Done);
    ASSERT_TRUE(client.CheckCameraLogin(kCamera, 80, "admin", "ab#cd12"));
    EXPECT_EQ(finish(client), NvrClient::Done);
    ASSERT_TRUE(client.CheckCameraLogin(kCamera, 80, "admin", ""));
    EXPECT_EQ(finish(client), NvrClient::Failed);
}

TEST(NvrClientLab, portalSignUpSignInAndBind)
{
    const char* host = std::getenv("LAB_PORTAL_HOST") ? std::getenv("LAB_PORTAL_HOST") : "cloud.quelmo.lab";
    NvrClient client;
    ASSERT_TRUE(client.PortalSignUp(host, "wizard", kVersion, "en", "new+one@example.lab", "abc", "abc", "Ann", "Lee"));
    ASSERT_EQ(finish(client), NvrClient::Done);
    EXPECT_NE(client.AnswerText().find("SIGNUPERR002"), std::string::npos) << client.AnswerText();
    EXPECT_EQ(client.ErrCount(), 1);

    ASSERT_TRUE(client.PortalSignUp(
        host, "wizard", kVersion, "en", "new+one@example.lab", "Str0ng&pw", "Str0ng&pw", "J\xc3\xbcrgen", "Lee"));
    ASSERT_EQ(finish(client), NvrClient::Done);
    EXPECT_NE(client.AnswerText().find("success"), std::string::npos) << client.AnswerText();
    EXPECT_EQ(client.ErrCount(), 0);

    ASSERT_TRUE(client.PortalSignIn(host, "wizard", kVersion, "en", "owner@example.lab", "Cloud123"));
    ASSERT_EQ(finish(client), NvrClient::Done);
    EXPECT_NE(client.AnswerText().find("success"), std::string::npos) << client.AnswerText();
    EXPECT_FALSE(client.PortalCookie().empty());

    ASSERT_TRUE(client.GetCloudPortal(kRecorder, 80, "admin", kPassword));
    ASSERT_EQ(finish(client), NvrClient::Done);
    const auto portal = split(client.PortalInfo(), '&');
    ASSERT_EQ(portal.size(), 7u);
    ASSERT_TRUE(client.PortalBind(host, "wizard", kVersion, "en", portal[3], kPassword, portal[4]));
    ASSERT_EQ(finish(client), NvrClient::Done);
    const std::string answer = client.AnswerText();
    EXPECT_NE(answer.find(portal[3]), std::string::npos) << answer;
    EXPECT_NE(answer.find("HXT-914Q"), std::string::npos) << answer;
}

} // namespace
