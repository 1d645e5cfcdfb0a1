// Feeds arbitrary storage-information answers to the storage watch's readers: the port flags are 0 or 1, the
// file-system code is kept or one of 0..5, and a disk's name stays within its bound and is a piece of the answer.
#include "platform/CodePage.h"
#include "session/StorageWatch.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string answer(reinterpret_cast<const char*>(data), data != nullptr ? size : 0);
    int32_t plugged = -1;
    int32_t ready = -1;
    int32_t fsCode = 9;
    StorageWatch::ReadAnswer(answer, plugged, ready, fsCode);
    if ((plugged != 0 && plugged != 1) || (ready != 0 && ready != 1) || (fsCode != 9 && (fsCode < 0 || fsCode > 5))) {
        std::abort();
    }
    const StorageWatch::DiskDescription description = StorageWatch::ReadDescription(answer);
    if (Utf8ToUtf16(description.name).size() > StorageWatch::DiskDescription::kMaxNameChars
        || description.capacityBytes < 0 || (plugged == 0 && !description.name.empty())) {
        std::abort();
    }
    return 0;
}
