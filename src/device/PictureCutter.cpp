#include "device/PictureCutter.h"

#include <algorithm>

namespace {

constexpr unsigned char kMarkerByte = 0xFF;
constexpr unsigned char kStartOfImage = 0xD8;
constexpr unsigned char kEndOfImage = 0xD9;
constexpr unsigned char kStartOfScan = 0xDA;
constexpr unsigned char kTemporary = 0x01;

bool IsRestart(unsigned char code)
{
    return code >= 0xD0 && code <= 0xD7;
}

} // namespace

PictureCutter::Outcome PictureCutter::Feed(const char* data, size_t size)
{
    if (outcome != Outcome::NeedMore)
        return outcome;
    const size_t room = kBufferLimit - buffer.size();
    const size_t taken = std::min(size, room);
    if (taken > 0)
        buffer.insert(buffer.end(), data, data + taken);
    scan();
    if (outcome == Outcome::NeedMore) {
        const bool pictureTooLong = stage != Stage::Start && buffer.size() - start > kPictureLimit;
        if (taken < size || pictureTooLong) {
            stage = Stage::Done;
            outcome = Outcome::Overflow;
        }
    }
    return outcome;
}

std::string_view PictureCutter::Picture() const
{
    if (outcome != Outcome::Picture)
        return {};
    return std::string_view(buffer.data() + start, pictureEnd - start);
}

void PictureCutter::Reset()
{
    buffer.clear();
    position = 0;
    start = 0;
    skipUntil = 0;
    scanningScan = false;
    stage = Stage::Start;
    outcome = Outcome::NeedMore;
    pictureEnd = 0;
    scanned = 0;
}

void PictureCutter::scan()
{
    const size_t from = position;
    while (stage != Stage::Done) {
        const size_t before = position;
        const Stage was = stage;
        switch (stage) {
        case Stage::Start:
            scanStart();
            break;
        case Stage::Marker:
            scanMarker();
            break;
        case Stage::SegmentLength:
            scanSegmentLength();
            break;
        case Stage::SkipSegment:
            scanSkip();
            break;
        case Stage::Data:
            scanData();
            break;
        case Stage::PlainSearch:
            scanPlain();
            break;
        case Stage::Done:
            break;
        }
        if (position == before && stage == was)
            break; // waits for more bytes
    }
    scanned += position - from;
}

// Anything before FF D8 (a part header, the rest of an earlier part) is skipped.
void PictureCutter::scanStart()
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
    const size_t size = buffer.size();
    for (size_t i = position; i + 1 < size; ++i) {
        if (bytes[i] == kMarkerByte && bytes[i + 1] == kStartOfImage) {
            start = i;
            position = i + 2;
            stage = Stage::Marker;
            return;
        }
    }
    // A last FF may be the first half of the marker: look at it again with the next bytes.
    position = size > 0 && bytes[size - 1] == kMarkerByte ? std::max(position, size - 1) : size;
}

// Format: FF [FF fill...] code, then for codes other than 01, D0-D7, D9 a two-byte big-endian length that counts
// itself and the segment's contents.
void PictureCutter::scanMarker()
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
    const size_t size = buffer.size();
    if (position >= size)
        return;
    if (bytes[position] != kMarkerByte) {
        stage = Stage::PlainSearch;
        return;
    }
    if (position + 1 >= size)
        return;
    const unsigned char code = bytes[position + 1];
    if (code == kMarkerByte) {
        position += 1; // a fill byte
        return;
    }
    if (code == kEndOfImage) {
        finish(position + 2);
        return;
    }
    if (code == 0x00 || code == kStartOfImage) {
        stage = Stage::PlainSearch;
        return;
    }
    position += 2;
    if (code == kTemporary || IsRestart(code))
        return; // stands alone
    scanningScan = code == kStartOfScan;
    stage = Stage::SegmentLength;
}

void PictureCutter::scanSegmentLength()
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
    if (position + 2 > buffer.size())
        return;
    const size_t length = (static_cast<size_t>(bytes[position]) << 8) | bytes[position + 1];
    if (length < 2) {
        stage = Stage::PlainSearch;
        return;
    }
    skipUntil = position + length;
    position += 2;
    stage = Stage::SkipSegment;
}

void PictureCutter::scanSkip()
{
    position = std::min(skipUntil, buffer.size());
    if (position == skipUntil)
        stage = scanningScan ? Stage::Data : Stage::Marker;
}

// Format: entropy-coded bytes in which FF is followed by 00 (a stuffed FF), D0-D7 (a restart) or FF (fill);
// any other code is the next marker.
void PictureCutter::scanData()
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
    const size_t size = buffer.size();
    size_t i = position;
    while (i < size) {
        if (bytes[i] != kMarkerByte) {
            ++i;
            continue;
        }
        if (i + 1 >= size)
            break;
        const unsigned char code = bytes[i + 1];
        if (code == 0x00 || IsRestart(code)) {
            i += 2;
        } else if (code == kMarkerByte) {
            i += 1;
        } else if (code == kEndOfImage) {
            position = i;
            finish(i + 2);
            return;
        } else {
            position = i; // a table or the next scan of a progressive picture
            stage = Stage::Marker;
            return;
        }
    }
    position = i;
}

// What the picture's structure did not explain is searched for the first FF D9.
void PictureCutter::scanPlain()
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
    const size_t size = buffer.size();
    for (size_t i = position; i + 1 < size; ++i) {
        if (bytes[i] == kMarkerByte && bytes[i + 1] == kEndOfImage) {
            position = i;
            finish(i + 2);
            return;
        }
    }
    position = size > 0 && bytes[size - 1] == kMarkerByte ? std::max(position, size - 1) : size;
}

void PictureCutter::finish(size_t end)
{
    position = end;
    pictureEnd = end;
    stage = Stage::Done;
    outcome = end - start <= kPictureLimit ? Outcome::Picture : Outcome::Overflow;
}
