#include "setup/plan/SetupPlan.h"

#include "device/AdminPasswordRule.h"
#include "device/PortalForms.h"
#include "device/TimeZoneList.h"
#include "platform/FilePaths.h"

#include <toml++/toml.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <map>
#include <sstream>

namespace {

// A plan names a few recorders; anything near this size is not a plan.
constexpr std::streamoff kMaxPlanBytes = 1 << 20;

constexpr size_t kMaxCamerasPerRecorder = 4;

int LineOf(const toml::node& node)
{
    return static_cast<int>(node.source().begin.line);
}

int LineOf(const toml::key& key)
{
    return static_cast<int>(key.source().begin.line);
}

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

std::string Indexed(const std::string& path, const char* name, size_t index)
{
    // Tables are counted from 1, as a person counts them in the file.
    return (path.empty() ? std::string() : path + ".") + name + "[" + std::to_string(index + 1) + "]";
}

// "00:1A:2B:3C:4D:5E" (or with "-", either case) to upper case with ":"; nullopt when it is not such a text.
std::optional<std::string> NormalisedMac(std::string_view text)
{
    // Format: six pairs of hexadecimal digits, separated by one ":" or "-" used throughout.
    if (text.size() != 17)
        return std::nullopt;
    const char separator = text[2];
    if (separator != ':' && separator != '-')
        return std::nullopt;
    std::string mac;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i % 3 == 2) {
            if (c != separator)
                return std::nullopt;
            mac += ':';
            continue;
        }
        if (c >= '0' && c <= '9')
            mac += c;
        else if (c >= 'a' && c <= 'f')
            mac += static_cast<char>(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'F')
            mac += c;
        else
            return std::nullopt;
    }
    return mac;
}

class PlanReader
{
public:
    PlanReader(const std::string& fileName, const EnvLookup& env)
        : fileName(fileName)
        , env(env)
    {
    }

    PlanRead Read(const std::string& text)
    {
        result.plan.file = fileName;
        toml::table root;
        try {
            root = toml::parse(text, fileName);
        } catch (const toml::parse_error& error) {
            addError(static_cast<int>(error.source().begin.line), {}, std::string(error.description()));
            return std::move(result);
        }
        readRoot(root);
        // Tables iterate in key order; a person reads the messages in the order of the file.
        std::stable_sort(result.errors.begin(), result.errors.end(),
            [](const PlanError& a, const PlanError& b) { return a.line < b.line; });
        return std::move(result);
    }

private:
    void addError(int line, std::string key, std::string message)
    {
        result.errors.push_back(PlanError { fileName, line, std::move(key), std::move(message) });
    }

    static std::string Join(const std::string& path, std::string_view key)
    {
        return path.empty() ? std::string(key) : path + "." + std::string(key);
    }

    // Reports every key of the table that is not among the known ones.
    void checkKeys(const toml::table& table, const std::string& path, std::initializer_list<std::string_view> known)
    {
        for (const auto& [key, node] : table) {
            (void)node;
            if (std::find(known.begin(), known.end(), key.str()) != known.end())
                continue;
            std::string list;
            for (std::string_view name : known)
                list += (list.empty() ? "" : ", ") + std::string(name);
            addError(LineOf(key), Join(path, key.str()), "unknown key (known here: " + list + ")");
        }
    }

    // The value of a string key; nullopt when absent or not a string (the latter reported).
    std::optional<std::string> stringAt(const toml::table& table, const std::string& path, std::string_view key)
    {
        const toml::node* node = table.get(key);
        if (!node)
            return std::nullopt;
        if (const auto* value = node->as_string())
            return value->get();
        addError(LineOf(*node), Join(path, key), "must be a string in quotes");
        return std::nullopt;
    }

    std::optional<bool> boolAt(const toml::table& table, const std::string& path, std::string_view key)
    {
        const toml::node* node = table.get(key);
        if (!node)
            return std::nullopt;
        if (const auto* value = node->as_boolean())
            return value->get();
        addError(LineOf(*node), Join(path, key), "must be true or false");
        return std::nullopt;
    }

    int lineOf(const toml::table& table, std::string_view key, int fallback) const
    {
        const toml::node* node = table.get(key);
        return node ? LineOf(*node) : fallback;
    }

    // A MAC key: normalised, or empty when absent or wrong (the latter reported).
    std::string macAt(const toml::table& table, const std::string& path)
    {
        const std::optional<std::string> text = stringAt(table, path, "mac");
        if (!text)
            return {};
        if (std::optional<std::string> mac = NormalisedMac(*text))
            return *mac;
        addError(lineOf(table, "mac", 0), Join(path, "mac"),
            Quoted(*text) + " is not a MAC address (six pairs of hexadecimal digits, such as \"00:1A:2B:3C:4D:5E\")");
        return {};
    }

    enum class PasswordKind { Admin, Camera, Cloud };

    // "password" or "password_env", exactly one of them; the password itself, resolved. Never quotes a password.
    std::string passwordAt(const toml::table& table, const std::string& path, int tableLine, PasswordKind kind)
    {
        const bool direct = table.contains("password");
        const bool named = table.contains("password_env");
        if (direct && named) {
            addError(lineOf(table, "password_env", tableLine), Join(path, "password_env"),
                "give password or password_env, not both");
            return {};
        }
        if (!direct && !named) {
            addError(tableLine, Join(path, "password"), "missing: give password, or password_env naming a variable");
            return {};
        }
        const std::string key = direct ? "password" : "password_env";
        const int line = lineOf(table, key, tableLine);
        const std::optional<std::string> text = stringAt(table, path, key);
        if (!text)
            return {};
        std::string password;
        std::string origin = "the password";
        if (direct) {
            password = *text;
        } else {
            if (text->empty()) {
                addError(line, Join(path, key), "names no variable");
                return {};
            }
            const std::optional<std::string> value = env(*text);
            if (!value) {
                addError(line, Join(path, key), "the variable " + *text + " is not set");
                return {};
            }
            password = *value;
            origin = "the variable " + *text;
        }
        if (kind == PasswordKind::Admin && !AdminPasswordPassesRule(password)) {
            addError(line, Join(path, key),
                origin + " breaks the administrator password rule: 6 to 31 characters, each an ASCII letter or digit");
            return {};
        }
        if (password.empty()) {
            addError(line, Join(path, key), origin + " is empty");
            return {};
        }
        return password;
    }

    void readRoot(const toml::table& root)
    {
        checkKeys(root, {}, { "recorder" });
        const toml::node* node = root.get("recorder");
        if (!node) {
            addError(0, {}, "the plan names no recorder: add a [[recorder]] table");
            return;
        }
        const toml::array* recorders = node->as_array();
        if (!recorders || !recorders->is_array_of_tables() || recorders->empty()) {
            addError(LineOf(*node), "recorder", "must be tables written [[recorder]]");
            return;
        }
        for (size_t i = 0; i < recorders->size(); ++i)
            readRecorder(*recorders->get(i)->as_table(), i);
    }

    void readRecorder(const toml::table& table, size_t index)
    {
        const std::string path = Indexed({}, "recorder", index);
        PlanRecorder recorder;
        recorder.line = LineOf(table);
        recorder.number = static_cast<int>(index + 1);
        checkKeys(table, path,
            { "mac", "new", "password", "password_env", "zone", "zone_number", "format", "camera", "cloud" });

        // Which recorder: by MAC, or every new one (at most one table says so).
        recorder.mac = macAt(table, path);
        const std::optional<bool> everyNew = boolAt(table, path, "new");
        recorder.everyNew = everyNew.value_or(false);
        if (recorder.everyNew && table.contains("mac")) {
            addError(lineOf(table, "new", recorder.line), Join(path, "new"), "give mac or new = true, not both");
        } else if (!table.contains("mac") && !recorder.everyNew && !(table.contains("new") && !everyNew)) {
            addError(recorder.line, Join(path, "mac"), "missing: give the recorder's mac, or new = true");
        }
        if (recorder.everyNew) {
            if (firstNewRecorder.empty())
                firstNewRecorder = path + " (line " + std::to_string(recorder.line) + ")";
            else
                addError(lineOf(table, "new", recorder.line), Join(path, "new"),
                    "only one [[recorder]] may say new = true; " + firstNewRecorder + " does");
        }
        if (!recorder.mac.empty()) {
            const int line = lineOf(table, "mac", recorder.line);
            const auto [seen, fresh]
                = recorderMacs.try_emplace(recorder.mac, path + " (line " + std::to_string(line) + ")");
            if (!fresh)
                addError(line, Join(path, "mac"), "the recorder " + recorder.mac + " is also named by " + seen->second);
        }

        recorder.password = passwordAt(table, path, recorder.line, PasswordKind::Admin);
        readZone(table, path, recorder);
        readFormat(table, path, recorder);
        readCameras(table, path, recorder);
        readCloud(table, path, recorder);
        result.plan.recorders.push_back(std::move(recorder));
    }

    void readZone(const toml::table& table, const std::string& path, PlanRecorder& recorder)
    {
        const toml::node* name = table.get("zone");
        const toml::node* number = table.get("zone_number");
        if (name && number) {
            addError(LineOf(*number), Join(path, "zone_number"), "give zone or zone_number, not both");
            return;
        }
        if (name) {
            recorder.zoneLine = LineOf(*name);
            if (const std::optional<std::string> text = stringAt(table, path, "zone")) {
                if (text->empty())
                    addError(recorder.zoneLine, Join(path, "zone"),
                        "is empty: give the zone's name as the recorder lists it");
                recorder.zoneName = *text;
            }
        } else if (number) {
            recorder.zoneLine = LineOf(*number);
            const auto* value = number->as_integer();
            const int64_t zone = value ? value->get() : 0;
            if (!value || zone < 1 || zone > static_cast<int64_t>(TimeZoneList::kMaxZones)) {
                addError(recorder.zoneLine, Join(path, "zone_number"),
                    "must be a whole number from 1 to " + std::to_string(TimeZoneList::kMaxZones));
                return;
            }
            recorder.zoneNumber = static_cast<int>(zone);
        }
    }

    void readFormat(const toml::table& table, const std::string& path, PlanRecorder& recorder)
    {
        const toml::node* node = table.get("format");
        if (!node)
            return;
        const std::string key = Join(path, "format");
        const std::string expected = "must be \"all\", \"none\" or a list of storage ids such as [1, 2]";
        if (const auto* text = node->as_string()) {
            if (text->get() == "all")
                recorder.disks = PlanRecorder::Disks::All;
            else if (text->get() != "none")
                addError(LineOf(*node), key, Quoted(text->get()) + ": " + expected);
            return;
        }
        const toml::array* ids = node->as_array();
        if (!ids) {
            addError(LineOf(*node), key, expected);
            return;
        }
        for (const toml::node& element : *ids) {
            const auto* id = element.as_integer();
            if (!id || id->get() < 0 || id->get() > std::numeric_limits<int32_t>::max()) {
                addError(LineOf(element), key, expected);
                return;
            }
            const int value = static_cast<int>(id->get());
            if (std::find(recorder.diskIds.begin(), recorder.diskIds.end(), value) != recorder.diskIds.end()) {
                addError(LineOf(element), key, "names the storage id " + std::to_string(value) + " twice");
                return;
            }
            recorder.diskIds.push_back(value);
        }
        if (!recorder.diskIds.empty())
            recorder.disks = PlanRecorder::Disks::Listed;
    }

    void readCameras(const toml::table& table, const std::string& path, PlanRecorder& recorder)
    {
        const toml::node* node = table.get("camera");
        if (!node)
            return;
        const toml::array* cameras = node->as_array();
        if (!cameras || !cameras->is_array_of_tables()) {
            addError(LineOf(*node), Join(path, "camera"), "must be tables written [[recorder.camera]]");
            return;
        }
        for (size_t i = 0; i < cameras->size(); ++i) {
            const toml::table& cameraTable = *cameras->get(i)->as_table();
            const std::string cameraPath = Indexed(path, "camera", i);
            PlanCamera camera;
            camera.line = LineOf(cameraTable);
            if (i == kMaxCamerasPerRecorder)
                addError(camera.line, cameraPath, "a recorder takes at most four cameras");
            checkKeys(cameraTable, cameraPath, { "mac", "password", "password_env", "name" });
            camera.mac = macAt(cameraTable, cameraPath);
            if (!cameraTable.contains("mac"))
                addError(camera.line, Join(cameraPath, "mac"), "missing: give the camera's mac");
            if (!camera.mac.empty()) {
                const int line = lineOf(cameraTable, "mac", camera.line);
                const auto [seen, fresh]
                    = cameraMacs.try_emplace(camera.mac, cameraPath + " (line " + std::to_string(line) + ")");
                if (!fresh)
                    addError(line, Join(cameraPath, "mac"),
                        "the camera " + camera.mac + " is also named by " + seen->second);
            }
            camera.password = passwordAt(cameraTable, cameraPath, camera.line, PasswordKind::Camera);
            camera.name = stringAt(cameraTable, cameraPath, "name").value_or(std::string());
            recorder.cameras.push_back(std::move(camera));
        }
    }

    void readCloud(const toml::table& table, const std::string& path, PlanRecorder& recorder)
    {
        const toml::node* node = table.get("cloud");
        if (!node)
            return;
        const std::string cloudPath = Join(path, "cloud");
        const toml::table* cloudTable = node->as_table();
        if (!cloudTable) {
            addError(LineOf(*node), cloudPath, "must be a table written [recorder.cloud]");
            return;
        }
        PlanCloud cloud;
        cloud.line = LineOf(*cloudTable);
        checkKeys(
            *cloudTable, cloudPath,
            { "email", "password", "password_env", "sign_up", "first_name", "last_name", "portal_host" });
        if (const std::optional<std::string> email = stringAt(*cloudTable, cloudPath, "email")) {
            cloud.email = *email;
            if (!IsValidEmailAddress(cloud.email))
                addError(lineOf(*cloudTable, "email", cloud.line), Join(cloudPath, "email"),
                    Quoted(cloud.email) + " is not an e-mail address");
        } else if (!cloudTable->contains("email")) {
            addError(cloud.line, Join(cloudPath, "email"), "missing: give the account's e-mail address");
        }
        cloud.password = passwordAt(*cloudTable, cloudPath, cloud.line, PasswordKind::Cloud);
        cloud.signUp = boolAt(*cloudTable, cloudPath, "sign_up").value_or(false);
        cloud.firstName = stringAt(*cloudTable, cloudPath, "first_name").value_or(std::string());
        cloud.lastName = stringAt(*cloudTable, cloudPath, "last_name").value_or(std::string());
        cloud.portalHost = stringAt(*cloudTable, cloudPath, "portal_host").value_or(std::string());
        if (cloudTable->contains("portal_host") && !IsPortalHostName(cloud.portalHost))
            addError(lineOf(*cloudTable, "portal_host", cloud.line), Join(cloudPath, "portal_host"),
                Quoted(cloud.portalHost) + " is not a host name");
        if (cloud.signUp) {
            for (const char* key : { "first_name", "last_name" }) {
                const toml::node* name = cloudTable->get(key);
                if (!name)
                    addError(
                        cloud.line, Join(cloudPath, key), "missing: sign_up = true needs first_name and last_name");
                else if (name->is_string() && name->as_string()->get().empty())
                    addError(LineOf(*name), Join(cloudPath, key), "is empty: sign_up = true needs a name");
            }
        }
        recorder.cloud = std::move(cloud);
    }

    const std::string& fileName;
    const EnvLookup& env;
    PlanRead result;
    std::string firstNewRecorder;
    std::map<std::string, std::string> recorderMacs; // MAC -> where it is named first
    std::map<std::string, std::string> cameraMacs;
};

} // namespace

std::string PlanError::Text() const
{
    std::string text = file;
    if (line > 0)
        text += (text.empty() ? "" : ":") + std::to_string(line);
    for (const std::string* part : { &key, &message }) {
        if (part->empty())
            continue;
        text += (text.empty() ? "" : ": ") + *part;
    }
    return text;
}

EnvLookup ProcessEnvironment()
{
    return [](const std::string& name) -> std::optional<std::string> {
        const char* value = std::getenv(name.c_str());
        if (!value)
            return std::nullopt;
        return std::string(value);
    };
}

PlanRead ReadPlanText(const std::string& text, const std::string& fileName, const EnvLookup& env)
{
    return PlanReader(fileName, env).Read(text);
}

PlanRead ReadPlanFile(const std::string& path, const EnvLookup& env)
{
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) {
        const int error = errno;
        PlanRead read;
        read.plan.file = path;
        read.errors.push_back(PlanError { path, 0, {}, std::string("cannot be read: ") + std::strerror(error) });
        return read;
    }
    std::ostringstream text;
    char buffer[4096];
    std::streamoff total = 0;
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        total += in.gcount();
        if (total > kMaxPlanBytes) {
            PlanRead read;
            read.plan.file = path;
            read.errors.push_back(PlanError { path, 0, {}, "is larger than 1 MiB: not a plan" });
            return read;
        }
        text.write(buffer, in.gcount());
    }
    if (in.bad()) {
        PlanRead read;
        read.plan.file = path;
        read.errors.push_back(PlanError { path, 0, {}, "cannot be read" });
        return read;
    }
    return ReadPlanText(text.str(), path, env);
}

ZoneChoice ChooseZone(const SetupPlan& plan, const PlanRecorder& recorder, const std::vector<std::string>& zoneNames)
{
    ZoneChoice choice;
    const std::string path = "recorder[" + std::to_string(recorder.number) + "]";
    if (!recorder.zoneName.empty()) {
        const auto found = std::find(zoneNames.begin(), zoneNames.end(), recorder.zoneName);
        if (found != zoneNames.end()) {
            choice.zoneNumber = static_cast<int>(found - zoneNames.begin()) + 1;
            return choice;
        }
        choice.error = PlanError { plan.file, recorder.zoneLine, path + ".zone",
            "the recorder does not list the zone " + Quoted(recorder.zoneName) + " (it lists "
                + std::to_string(zoneNames.size()) + " zones)" };
        return choice;
    }
    if (recorder.zoneNumber > 0) {
        if (static_cast<size_t>(recorder.zoneNumber) <= zoneNames.size()) {
            choice.zoneNumber = recorder.zoneNumber;
            return choice;
        }
        choice.error = PlanError { plan.file, recorder.zoneLine, path + ".zone_number",
            "the recorder lists " + std::to_string(zoneNames.size()) + " zones, not zone "
                + std::to_string(recorder.zoneNumber) };
    }
    return choice;
}
