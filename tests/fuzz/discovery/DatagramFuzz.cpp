// Arbitrary datagrams through the search's answer check, collection and record texts, the commands' reply table
// and reply origin check, and the address text parsers. Input: a run of datagrams, each a 2-byte little-endian length (cut to what
// is left) followed by its bytes; the first byte also picks the interface count (1..4).
#include "device/CommandRoute.h"
#include "device/NvrClient.h"
#include "discovery/SearchDevice.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const size_t interfaces = size > 0 ? 1 + data[0] % 4 : 1;
    std::vector<std::unique_ptr<DatagramQueue>> queues;
    for (size_t i = 0; i < interfaces; ++i) {
        queues.push_back(std::make_unique<DatagramQueue>());
    }
    size_t at = size > 0 ? 1 : 0;
    size_t datagrams = 0;
    while (at + 2 <= size) {
        size_t length = data[at] | (data[at + 1] << 8);
        at += 2;
        length = std::min(length, size - at);
        const uint8_t* datagram = data + at;
        at += length;
        queues[datagrams++ % interfaces]->Push(datagram, length);

        const NvrClient::ReplyVerdict verdict = NvrClient::ExamineReply(datagram, length);
        if (verdict.kind == NvrClient::ReplyVerdict::Done && verdict.setsLoginResult && length < 26) {
            std::abort(); // a login result read from bytes not received
        }
        if (SearchDevice::IsSearchAnswer(datagram, length) && length < SearchDevice::kMinAnswerSize) {
            std::abort(); // an answer too short for the fields read from it
        }
        // Sender and recorder from the datagram's own first bytes: the check reads only what was received.
        std::array<uint8_t, 4> sender {};
        std::array<uint8_t, 6> recorderMac {};
        for (size_t i = 0; i < sender.size() && i < length; ++i) {
            sender[i] = datagram[i];
        }
        for (size_t i = 0; i < recorderMac.size() && 6 + i < length; ++i) {
            recorderMac[i] = datagram[6 + i];
        }
        (void)IsReplyFromRecorder(sender, { 10, 77, 0, 10 }, recorderMac, { 255, 255, 255, 255 }, datagram, length);
        const std::string text(reinterpret_cast<const char*>(datagram), length);
        std::array<uint8_t, 4> ip {};
        std::array<uint8_t, 6> mac {};
        SearchDevice::ParseIpText(text, ip);
        SearchDevice::ParseMacText(text, mac);
    }

    const std::vector<DeviceRecord> records = SearchDevice::Collect(queues);
    if (records.size() != datagrams) {
        std::abort();
    }
    for (size_t i = 0; i < records.size(); ++i) {
        const DeviceRecord& record = records[i];
        if (record.ModelText().size() > DeviceRecord::kModelSize || record.ExtraText().size() > DeviceRecord::kExtraSize
            || record.MacText().size() != 17 || record.IpText().size() > 15) {
            std::abort();
        }
        (void)record.WebPort();
        bool repeat = false;
        for (size_t j = 0; j < i; ++j) {
            repeat = repeat || records[j].SameDevice(record);
        }
        if (record.unique != (repeat ? 0 : 1)) {
            std::abort();
        }
    }
    return 0;
}
