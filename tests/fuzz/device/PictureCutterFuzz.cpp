// Feeds arbitrary streams to the picture cutter in pieces whose sizes the input chooses: a picture handed out
// must start with FF D8, end with FF D9, lie within the limits and be a piece of the stream; the cutter looks at
// no byte twice, and the same stream fed at once gives the same answer.
#include "device/PictureCutter.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t step = 1 + data[0] % 64; // the first byte chooses the read size
    const std::string stream(reinterpret_cast<const char*>(data) + 1, size - 1);

    PictureCutter inPieces;
    PictureCutter::Outcome outcome = PictureCutter::Outcome::NeedMore;
    for (size_t at = 0; at < stream.size(); at += step)
        outcome = inPieces.Feed(stream.data() + at, std::min(step, stream.size() - at));
    PictureCutter atOnce;
    const PictureCutter::Outcome whole = atOnce.Feed(stream);

    if (outcome != whole || inPieces.Picture() != atOnce.Picture())
        std::abort();
    if (inPieces.ScannedBytes() > stream.size())
        std::abort();
    const std::string_view picture = inPieces.Picture();
    if (outcome == PictureCutter::Outcome::Picture) {
        if (picture.size() < 4 || picture.size() > PictureCutter::kPictureLimit)
            std::abort();
        if (picture.substr(0, 2) != "\xFF\xD8" || picture.substr(picture.size() - 2) != "\xFF\xD9")
            std::abort();
        if (stream.find(picture) == std::string::npos)
            std::abort();
    } else if (!picture.empty()) {
        std::abort();
    }
    return 0;
}
