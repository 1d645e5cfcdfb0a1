#include "setup/plan/SetupPlan.h"
#include "TestProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <filesystem>

namespace {

// Every password in these plans starts with "Pw1", so a test can tell that no message quotes one.
const std::map<std::string, std::string> kEnvironment = {
    { "NVR_PASSWORD", "Pw1Env2024" },
    { "CAM_PASSWORD", "Pw1Cam" },
    { "SHORT_PASSWORD", "Pw1ab" },
    { "EMPTY", "" },
};

EnvLookup FixedEnvironment()
{
    return [](const std::string& name) -> std::optional<std::string> {
        const auto found = kEnvironment.find(name);
        if (found == kEnvironment.end())
            return std::nullopt;
        return found->second;
    };
}

PlanRead Read(const std::string& text)
{
    return ReadPlanText(text, "site.toml", FixedEnvironment());
}

std::string AllErrors(const PlanRead& read)
{
    std::string text;
    for (const PlanError& error : read.errors)
        text += error.Text() + "\n";
    return text.empty() ? "no error" : text;
}

// A recorder table that is fine on its own; cases append to it.
const std::string kRecorder = "[[recorder]]\nmac = \"00:1A:2B:3C:4D:5E\"\npassword = \"Pw1Lab2024\"\n";

TEST(SetupPlan, readsAGoodPlanInFull)
{
    const PlanRead read = Read(R"(# two recorders
[[recorder]]
mac = "00:1a:2b:3c:4d:5e"
password = "Pw1Lab2024"
zone = "(GMT+01:00) Amsterdam"
format = "all"

  [[recorder.camera]]
  mac = "00-1A-2B-00-00-01"
  password = "Pw1Cam1"
  name = "Front door"

  [[recorder.camera]]
  mac = "00:1A:2B:00:00:02"
  password_env = "CAM_PASSWORD"

  [recorder.cloud]
  email = "me+nvr@example.com"
  password = "Pw1Cloud"
  sign_up = true
  first_name = "Ana"
  last_name = "Sousa"
  portal_host = "portal.example.net"

[[recorder]]
new = true
password_env = "NVR_PASSWORD"
zone_number = 21
format = [2, 1]
)");
    ASSERT_TRUE(read.Ok()) << read.errors.front().Text();
    const SetupPlan& plan = read.plan;
    EXPECT_EQ(plan.file, "site.toml");
    ASSERT_EQ(plan.recorders.size(), 2u);

    const PlanRecorder& first = plan.recorders[0];
    EXPECT_EQ(first.mac, "00:1A:2B:3C:4D:5E");
    EXPECT_FALSE(first.everyNew);
    EXPECT_EQ(first.password, "Pw1Lab2024");
    EXPECT_EQ(first.zoneName, "(GMT+01:00) Amsterdam");
    EXPECT_EQ(first.zoneNumber, 0);
    EXPECT_EQ(first.zoneLine, 5);
    EXPECT_EQ(first.disks, PlanRecorder::Disks::All);
    EXPECT_EQ(first.line, 2);
    EXPECT_EQ(first.number, 1);
    ASSERT_EQ(first.cameras.size(), 2u);
    EXPECT_EQ(first.cameras[0].mac, "00:1A:2B:00:00:01");
    EXPECT_EQ(first.cameras[0].password, "Pw1Cam1");
    EXPECT_EQ(first.cameras[0].name, "Front door");
    EXPECT_EQ(first.cameras[0].line, 8);
    EXPECT_EQ(first.cameras[1].mac, "00:1A:2B:00:00:02");
    EXPECT_EQ(first.cameras[1].password, "Pw1Cam");
    EXPECT_EQ(first.cameras[1].name, "");
    ASSERT_TRUE(first.cloud.has_value());
    EXPECT_EQ(first.cloud->email, "me+nvr@example.com");
    EXPECT_EQ(first.cloud->password, "Pw1Cloud");
    EXPECT_TRUE(first.cloud->signUp);
    EXPECT_EQ(first.cloud->firstName, "Ana");
    EXPECT_EQ(first.cloud->lastName, "Sousa");
    EXPECT_EQ(first.cloud->portalHost, "portal.example.net");
    EXPECT_EQ(first.cloud->line, 17);

    const PlanRecorder& second = plan.recorders[1];
    EXPECT_EQ(second.mac, "");
    EXPECT_TRUE(second.everyNew);
    EXPECT_EQ(second.password, "Pw1Env2024");
    EXPECT_EQ(second.zoneName, "");
    EXPECT_EQ(second.zoneNumber, 21);
    EXPECT_EQ(second.disks, PlanRecorder::Disks::Listed);
    EXPECT_EQ(second.diskIds, (std::vector<int> { 2, 1 }));
    EXPECT_TRUE(second.cameras.empty());
    EXPECT_FALSE(second.cloud.has_value());
    EXPECT_EQ(second.number, 2);

    // Left out, everything optional keeps its default; inline tables are tables too.
    const PlanRead bare = Read(kRecorder
        + "format = \"none\"\ncamera = [{ mac = \"00:1A:2B:00:00:09\", "
          "password = \"Pw1x\" }]\n");
    ASSERT_TRUE(bare.Ok()) << bare.errors.front().Text();
    EXPECT_EQ(bare.plan.recorders[0].disks, PlanRecorder::Disks::Keep);
    EXPECT_EQ(bare.plan.recorders[0].zoneLine, 0);
    EXPECT_EQ(bare.plan.recorders[0].cameras.size(), 1u);
    EXPECT_FALSE(bare.plan.recorders[0].cloud.has_value());
}

TEST(SetupPlan, badPlansNameTheLineTheKeyAndTheFault)
{
    const struct
    {
        const char* name;
        std::string text;
        int line;
        std::string key;
        std::string message; // a part of the message
    } cases[] = {
        { "syntax", kRecorder + "zone = \"Paris\n", 4, "", "" },
        { "not UTF-8", kRecorder + "zone = \"\xff\"\n", 4, "", "" },
        { "no recorder", "", 0, "", "names no recorder" },
        { "recorder as one table", "[recorder]\nmac = \"00:1A:2B:3C:4D:5E\"\n", 1, "recorder", "[[recorder]]" },
        { "unknown top-level key", "jobs = 2\n" + kRecorder, 1, "jobs", "unknown key" },
        { "unknown recorder key", kRecorder + "pasword = \"x\"\n", 4, "recorder[1].pasword", "known here: mac" },
        { "unknown camera key",
            kRecorder
                + "[[recorder.camera]]\nmac = \"00:1A:2B:00:00:01\"\npassword = "
                  "\"Pw1c\"\nport = 80\n",
            7, "recorder[1].camera[1].port", "unknown key" },
        { "unknown cloud key", kRecorder + "[recorder.cloud]\nemail = \"a@b.co\"\npassword = \"Pw1c\"\nphone = 1\n", 7,
            "recorder[1].cloud.phone", "unknown key" },
        { "mac as number", "[[recorder]]\nmac = 1\npassword = \"Pw1Lab2024\"\n", 2, "recorder[1].mac", "string" },
        { "mac text", "[[recorder]]\nmac = \"00:1A:2B:3C:4D\"\npassword = \"Pw1Lab2024\"\n", 2, "recorder[1].mac",
            "not a MAC" },
        { "mac mixed separators", "[[recorder]]\nmac = \"00:1A-2B:3C:4D:5E\"\npassword = \"Pw1Lab2024\"\n", 2,
            "recorder[1].mac", "not a MAC" },
        { "mac and new", kRecorder + "new = true\n", 4, "recorder[1].new", "not both" },
        { "neither mac nor new", "[[recorder]]\npassword = \"Pw1Lab2024\"\n", 1, "recorder[1].mac", "missing" },
        { "new = false alone", "[[recorder]]\nnew = false\npassword = \"Pw1Lab2024\"\n", 1, "recorder[1].mac",
            "missing" },
        { "new as text", "[[recorder]]\nnew = \"yes\"\npassword = \"Pw1Lab2024\"\n", 2, "recorder[1].new",
            "true or false" },
        { "two new tables",
            "[[recorder]]\nnew = true\npassword = \"Pw1Lab2024\"\n[[recorder]]\nnew = true\n"
            "password = \"Pw1Lab2024\"\n",
            5, "recorder[2].new", "recorder[1] (line 1)" },
        { "recorder named twice", kRecorder + "[[recorder]]\nmac = \"00-1a-2b-3c-4d-5e\"\npassword = \"Pw1Lab2024\"\n",
            5, "recorder[2].mac", "also named by recorder[1] (line 2)" },
        { "both passwords", kRecorder + "password_env = \"NVR_PASSWORD\"\n", 4, "recorder[1].password_env",
            "not both" },
        { "no password", "[[recorder]]\nmac = \"00:1A:2B:3C:4D:5E\"\n", 1, "recorder[1].password", "missing" },
        { "password as number", "[[recorder]]\nmac = \"00:1A:2B:3C:4D:5E\"\npassword = 123456\n", 3,
            "recorder[1].password", "string" },
        { "password too short", "[[recorder]]\nmac = \"00:1A:2B:3C:4D:5E\"\npassword = \"Pw1ab\"\n", 3,
            "recorder[1].password", "6 to 31" },
        { "password too long",
            "[[recorder]]\nmac = \"00:1A:2B:3C:4D:5E\"\npassword = \"Pw1" + std::string(29, 'a') + "\"\n", 3,
            "recorder[1].password", "6 to 31" },
        { "password with a space", "[[recorder]]\nmac = \"00:1A:2B:3C:4D:5E\"\npassword = \"Pw1 abcd\"\n", 3,
            "recorder[1].password", "ASCII letter or digit" },
        { "password with a non-ASCII letter", "[[recorder]]\nmac = \"00:1A:2B:3C:4D:5E\"\npassword = \"Pw1abcé\"\n", 3,
            "recorder[1].password", "ASCII letter or digit" },
        { "variable not set", "[[recorder]]\nmac = \"00:1A:2B:3C:4D:5E\"\npassword_env = \"NO_SUCH\"\n", 3,
            "recorder[1].password_env", "NO_SUCH is not set" },
        { "variable breaks the rule", "[[recorder]]\nmac = \"00:1A:2B:3C:4D:5E\"\npassword_env = \"SHORT_PASSWORD\"\n",
            3, "recorder[1].password_env", "the variable SHORT_PASSWORD breaks" },
        { "camera variable empty",
            kRecorder
                + "[[recorder.camera]]\nmac = \"00:1A:2B:00:00:01\"\n"
                  "password_env = \"EMPTY\"\n",
            6, "recorder[1].camera[1].password_env", "EMPTY is empty" },
        { "camera without password", kRecorder + "[[recorder.camera]]\nmac = \"00:1A:2B:00:00:01\"\n", 4,
            "recorder[1].camera[1].password", "missing" },
        { "camera without mac", kRecorder + "[[recorder.camera]]\npassword = \"Pw1c\"\n", 4,
            "recorder[1].camera[1].mac", "missing" },
        { "zone both ways", kRecorder + "zone = \"(GMT) UTC\"\nzone_number = 3\n", 5, "recorder[1].zone_number",
            "not both" },
        { "zone empty", kRecorder + "zone = \"\"\n", 4, "recorder[1].zone", "empty" },
        { "zone number zero", kRecorder + "zone_number = 0\n", 4, "recorder[1].zone_number", "1 to 200" },
        { "zone number as text", kRecorder + "zone_number = \"21\"\n", 4, "recorder[1].zone_number", "whole number" },
        { "format word", kRecorder + "format = \"some\"\n", 4, "recorder[1].format", "\"all\", \"none\"" },
        { "format number", kRecorder + "format = 1\n", 4, "recorder[1].format", "list of storage ids" },
        { "format list of texts", kRecorder + "format = [\"1\"]\n", 4, "recorder[1].format", "list of storage ids" },
        { "format negative id", kRecorder + "format = [-1]\n", 4, "recorder[1].format", "list of storage ids" },
        { "format id twice", kRecorder + "format = [1, 2, 1]\n", 4, "recorder[1].format", "storage id 1 twice" },
        { "fifth camera",
            kRecorder +
                [] {
                    std::string cameras;
                    for (int i = 1; i <= 5; ++i)
                        cameras += "[[recorder.camera]]\nmac = \"00:1A:2B:00:00:0" + std::to_string(i)
                            + "\"\npassword = \"Pw1c\"\n";
                    return cameras;
                }(),
            16, "recorder[1].camera[5]", "at most four" },
        { "camera named twice",
            kRecorder
                + "[[recorder.camera]]\nmac = \"00:1A:2B:00:00:01\"\npassword = \"Pw1c\"\n"
                  "[[recorder]]\nmac = \"00:1A:2B:3C:4D:5F\"\npassword = \"Pw1Lab2024\"\n"
                  "[[recorder.camera]]\nmac = \"00:1a:2b:00:00:01\"\npassword = \"Pw1c\"\n",
            11, "recorder[2].camera[1].mac", "also named by recorder[1].camera[1] (line 5)" },
        { "camera as one table", kRecorder + "[recorder.camera]\nmac = \"00:1A:2B:00:00:01\"\n", 4,
            "recorder[1].camera", "[[recorder.camera]]" },
        { "cloud as a list", kRecorder + "[[recorder.cloud]]\nemail = \"a@b.co\"\n", 4, "recorder[1].cloud",
            "[recorder.cloud]" },
        { "cloud e-mail shape", kRecorder + "[recorder.cloud]\nemail = \"me@example\"\npassword = \"Pw1c\"\n", 5,
            "recorder[1].cloud.email", "not an e-mail address" },
        { "cloud without e-mail", kRecorder + "[recorder.cloud]\npassword = \"Pw1c\"\n", 4, "recorder[1].cloud.email",
            "missing" },
        { "cloud without password", kRecorder + "[recorder.cloud]\nemail = \"a@b.co\"\n", 4,
            "recorder[1].cloud.password", "missing" },
        { "sign-up without last name",
            kRecorder
                + "[recorder.cloud]\nemail = \"a@b.co\"\npassword = \"Pw1c\"\n"
                  "sign_up = true\nfirst_name = \"Ana\"\n",
            4, "recorder[1].cloud.last_name", "needs first_name and last_name" },
        { "sign-up with an empty name",
            kRecorder
                + "[recorder.cloud]\nemail = \"a@b.co\"\npassword = \"Pw1c\"\n"
                  "sign_up = true\nfirst_name = \"\"\nlast_name = \"Sousa\"\n",
            8, "recorder[1].cloud.first_name", "empty" },
        { "sign_up as text",
            kRecorder + "[recorder.cloud]\nemail = \"a@b.co\"\npassword = \"Pw1c\"\nsign_up = \"no\"\n", 7,
            "recorder[1].cloud.sign_up", "true or false" },
        { "portal host that is no host name",
            kRecorder + "[recorder.cloud]\nemail = \"a@b.co\"\npassword = \"Pw1c\"\nportal_host = \"https://p.example\"\n",
            7, "recorder[1].cloud.portal_host", "not a host name" },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        const PlanRead read = Read(entry.text);
        ASSERT_EQ(read.errors.size(), 1u) << AllErrors(read);
        const PlanError& error = read.errors.front();
        EXPECT_EQ(error.file, "site.toml");
        EXPECT_EQ(error.line, entry.line) << error.Text();
        EXPECT_EQ(error.key, entry.key) << error.Text();
        EXPECT_NE(error.message.find(entry.message), std::string::npos) << error.Text();
        EXPECT_FALSE(error.message.empty());
        EXPECT_EQ(error.Text().find("Pw1"), std::string::npos) << error.Text();
    }
}

TEST(SetupPlan, reportsEveryFaultInTheOrderOfTheFile)
{
    const PlanRead read = Read(R"([[recorder]]
mac = "00:1A:2B:3C:4D:5E"
password = "short"
zone = "A"
zone_number = 2
colour = "red"
[[recorder]]
mac = "00:1A:2B:3C:4D:5E"
password_env = "NO_SUCH"
)");
    ASSERT_EQ(read.errors.size(), 5u);
    const std::pair<int, std::string> expected[] = {
        { 3, "recorder[1].password" },
        { 5, "recorder[1].zone_number" },
        { 6, "recorder[1].colour" },
        { 8, "recorder[2].mac" },
        { 9, "recorder[2].password_env" },
    };
    for (size_t i = 0; i < read.errors.size(); ++i) {
        EXPECT_EQ(read.errors[i].line, expected[i].first) << read.errors[i].Text();
        EXPECT_EQ(read.errors[i].key, expected[i].second) << read.errors[i].Text();
    }
    EXPECT_EQ(read.errors[0].Text(),
        "site.toml:3: recorder[1].password: the password breaks the administrator "
        "password rule: 6 to 31 characters, each an ASCII letter or digit");
    EXPECT_EQ((PlanError { "plan.toml", 0, "", "cannot be read" }).Text(), "plan.toml: cannot be read");
}

TEST(SetupPlan, passwordsComeFromTheEnvironmentWhenNamed)
{
    const std::string variable = "HXT_PLAN_TEST_PASSWORD";
    const std::string value = "FromProcess42";
    SetEnvironment(variable, &value);
    const std::string text = "[[recorder]]\nnew = true\npassword_env = \"" + variable + "\"\n";
    const PlanRead fromProcess = ReadPlanText(text, "p.toml", ProcessEnvironment());
    SetEnvironment(variable, nullptr);
    ASSERT_TRUE(fromProcess.Ok()) << fromProcess.errors.front().Text();
    EXPECT_EQ(fromProcess.plan.recorders[0].password, "FromProcess42");

    const PlanRead unset = ReadPlanText(text, "p.toml", ProcessEnvironment());
    ASSERT_EQ(unset.errors.size(), 1u);
    EXPECT_EQ(unset.errors[0].Text(), "p.toml:3: recorder[1].password_env: the variable " + variable + " is not set");

    // The same through a file, and a file that is not there.
    const std::string folder = MakeTemporaryFolder("hxt-plan");
    ASSERT_FALSE(folder.empty());
    const std::string path = folder + "/plan.toml";
    std::ofstream(path) << "[[recorder]]\nnew = true\npassword_env = \"NVR_PASSWORD\"\n";
    const PlanRead fromFile = ReadPlanFile(path, FixedEnvironment());
    std::remove(path.c_str());
    ASSERT_TRUE(fromFile.Ok()) << fromFile.errors.front().Text();
    EXPECT_EQ(fromFile.plan.file, path);
    EXPECT_EQ(fromFile.plan.recorders[0].password, "Pw1Env2024");

    const PlanRead missing = ReadPlanFile(path, FixedEnvironment());
    ASSERT_EQ(missing.errors.size(), 1u);
    EXPECT_EQ(missing.errors[0].line, 0);
    EXPECT_NE(missing.errors[0].Text().find("cannot be read"), std::string::npos);
    std::filesystem::remove_all(folder);
}

TEST(SetupPlan, chooseZoneFindsTheRecordersOwnZone)
{
    const PlanRead read = Read(kRecorder + "zone = \"(GMT+01:00) Paris\"\n"
        + "[[recorder]]\nnew = true\n"
          "password = \"Pw1Lab2024\"\nzone_number = 3\n"
          "[[recorder]]\nmac = \"00:1A:2B:3C:4D:5F\"\npassword = \"Pw1Lab2024\"\n");
    ASSERT_TRUE(read.Ok()) << read.errors.front().Text();
    const SetupPlan& plan = read.plan;
    const std::vector<std::string> three = { "(GMT) UTC", "(GMT+01:00) Paris", "(GMT+02:00) Cairo" };
    const std::vector<std::string> two = { "(GMT) UTC", "(GMT+02:00) Cairo" };

    const struct
    {
        const char* name;
        const PlanRecorder& recorder;
        const std::vector<std::string>& zones;
        int zoneNumber;
        std::string error; // empty: none
    } cases[] = {
        { "by name", plan.recorders[0], three, 2, "" },
        { "name not listed", plan.recorders[0], two, 0,
            "site.toml:4: recorder[1].zone: the recorder does not list the zone \"(GMT+01:00) Paris\" (it lists 2 "
            "zones)" },
        { "by number", plan.recorders[1], three, 3, "" },
        { "number past the list", plan.recorders[1], two, 0,
            "site.toml:8: recorder[2].zone_number: the recorder lists 2 zones, not zone 3" },
        { "no zone in the plan", plan.recorders[2], {}, 0, "" },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        const ZoneChoice choice = ChooseZone(plan, entry.recorder, entry.zones);
        EXPECT_EQ(choice.zoneNumber, entry.zoneNumber);
        EXPECT_EQ(choice.error ? choice.error->Text() : "", entry.error);
    }
}

} // namespace
