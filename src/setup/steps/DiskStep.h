#pragma once
// The recorder's two USB disks (index 0 HD1, 1 HD2): what each port holds, and formatting the chosen ones one after
// the other through the request object, with the progress the recorder reports.

#include "session/RecorderAccess.h"
#include "session/StorageWatch.h"
#include "setup/report/SetupReport.h"
#include "setup/steps/StepWorker.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

// One port as the recorder's storage information describes it.
struct DiskPort
{
    bool read = false; // the storage information was fetched
    bool plugged = false;
    bool ready = false;
    int32_t fsCode = 0; // the used partition's file-system code (0..5)
    int partitions = 0;
    StorageWatch::DiskDescription description;
};

struct DiskResult
{
    StepOutcome outcome = StepOutcome::Failed;
    std::string reason; // why it failed, for a person; empty otherwise
    std::array<DiskPort, 2> ports; // what the ports held before anything was formatted
    std::array<bool, 2> targets { false, false }; // formatting was asked for
    std::array<bool, 2> formatted { false, false }; // reached 100 % after its own format command
    std::array<bool, 2> kept { false, false }; // already carried the recorder's file system: left as it was
    std::array<std::string, 2> portResults; // "formatted", "kept", or why not; empty for a port not asked for
};

class DiskStep : public StepWorker
{
public:
    static constexpr uint32_t kRequestTimeoutMs = 6000;
    static constexpr size_t kAnswerBufferSize = 8200;
    static constexpr int kRepollMs = 500; // pause before asking again after a poll that shows no progress
    static constexpr int kCheckLimitMs = 30000; // how long a plugged disk may take to get ready
    static constexpr int kFormatLimitMs = 60000; // how long formatting may take in all
    static constexpr int kConfirmAttempts = 10; // storage reads, kRepollMs apart, that may confirm a finished format

    explicit DiskStep(NvrClient& client);
    ~DiskStep() override;

    // Reads both ports once.
    void StartList(const RecorderAccess& recorder);
    // StartList, waited for.
    DiskResult List(const RecorderAccess& recorder, const std::atomic<bool>* stop = nullptr);
    // Formats every target port in turn with its file-system code (FileSystemFor). Done when each target reached
    // 100 %; the first port that does not ends the work.
    void StartFormat(const RecorderAccess& recorder, std::array<bool, 2> targets, std::array<int32_t, 2> fileSystems);
    // The whole step for the given ports: reads them (waiting up to kCheckLimitMs for plugged disks to get
    // ready), keeps the disks that already carry the recorder's file system and formats the others, within
    // kFormatLimitMs. AlreadyDone when every port asked for was kept.
    DiskResult Run(const RecorderAccess& recorder, std::array<bool, 2> wanted, const std::atomic<bool>* stop = nullptr);
    DiskResult Result() const;

    // Written while formatting: the port under way and its last progress (0..100), for the formatting box.
    const std::atomic<int32_t>& CurrentDisk() const { return currentDisk; }
    const std::atomic<int32_t>& Progress() const { return progress; }

    // The code sent with the format command for a disk that carries fsCode: its own file system stays, any other
    // becomes 2.
    static int32_t FileSystemFor(int32_t fsCode) { return fsCode == 1 ? 1 : 2; }
    // One storage-information answer (fsCode keeps `previousFsCode` unless the answer names one, as the watch).
    static DiskPort ReadPort(const std::string& answer, int32_t previousFsCode = 0);
    // A ready disk of one partition that already carries what formatting would give it: formatting again would
    // only erase what the recorder has written since.
    static bool AlreadyFormatted(const DiskPort& port);

private:
    void list(const RecorderAccess& recorder, DiskResult& out);
    std::optional<DiskPort> readPort(const RecorderAccess& recorder, int port);
    bool confirmFormatted(const RecorderAccess& recorder, int port, int32_t fileSystem);
    void format(const RecorderAccess& recorder, const std::array<bool, 2>& targets,
        const std::array<int32_t, 2>& fileSystems, DiskResult& out);
    void publish(const DiskResult& found);

    std::atomic<int32_t> currentDisk { 0 };
    std::atomic<int32_t> progress { 0 };
    mutable std::mutex resultLock;
    DiskResult result;
};
