// The picture cutter against streams as cameras send them: bare pictures back to back, multipart parts, markers
// split across reads, marker bytes inside a picture that do not end it, and streams that never give a picture
// within the limits.
#include "device/PictureCutter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values)
        out += static_cast<char>(v);
    return out;
}

// A marker segment: FF code, its big-endian length (counting itself) and the contents.
std::string Segment(int code, const std::string& contents)
{
    const size_t length = contents.size() + 2;
    return Bytes({ 0xFF, code, static_cast<int>(length >> 8), static_cast<int>(length & 0xFF) }) + contents;
}

// A picture laid out as an encoder writes one: start, a header segment, tables, a frame header, a scan header,
// entropy-coded bytes (with a stuffed FF, restart markers and a fill byte) and the end marker. `inHeader` goes into a
// comment segment, where an embedded thumbnail would sit.
std::string Picture(const std::string& inHeader = "", const std::string& label = "A")
{
    return Bytes({ 0xFF, 0xD8 }) + Segment(0xE0, "JFIF" + std::string(1, '\0') + label) + Segment(0xFE, inHeader)
        + Segment(0xDB, std::string(65, '\x10')) + Segment(0xC0, std::string(15, '\x01'))
        + Segment(0xDA, std::string(10, '\x02')) + "scan" + Bytes({ 0xFF, 0x00 }) + "data" + Bytes({ 0xFF, 0xD3 })
        + "more" + Bytes({ 0xFF, 0xFF, 0xD4 }) + "tail" + Bytes({ 0xFF, 0xD9 });
}

const std::string kThumbnail = Picture("", "thumb"); // a whole picture, FF D9 included, inside a segment
const std::string kPartHeader = "--hxtframe\r\nContent-Type: image/jpeg\r\nContent-Length: 1234\r\n\r\n";

struct Case
{
    const char* name;
    std::string stream;
    PictureCutter::Outcome outcome;
    std::string picture; // expected when the outcome is Picture
};

std::vector<Case> Cases()
{
    using O = PictureCutter::Outcome;
    const std::string first = Picture("", "first");
    const std::string second = Picture("", "second");
    const std::string broken = Bytes({ 0xFF, 0xD8 }) + "not a segment" + Bytes({ 0xFF, 0xD9 });
    return {
        { "bare picture", first, O::Picture, first },
        { "two end markers in one read: the first picture", first + second, O::Picture, first },
        { "part header before the start marker", kPartHeader + first + "\r\n" + kPartHeader + second, O::Picture,
            first },
        { "the rest of an earlier picture before a start", Bytes({ 0x12, 0xFF, 0xD9, 0x00 }) + first, O::Picture,
            first },
        { "end marker inside an embedded thumbnail", Picture(kThumbnail), O::Picture, Picture(kThumbnail) },
        { "end marker bytes in a comment", Picture(Bytes({ 0xFF, 0xD9, 0xFF })), O::Picture,
            Picture(Bytes({ 0xFF, 0xD9, 0xFF })) },
        { "structure that does not parse: the first end marker", broken + second, O::Picture, broken },
        { "no end marker yet", first.substr(0, first.size() - 1), O::NeedMore, "" },
        { "no start marker", kPartHeader + "text only", O::NeedMore, "" },
        { "nothing", "", O::NeedMore, "" },
    };
}

// Feeds the stream in pieces of `step` bytes (0: at once) and returns the outcome; picture gets the cut picture.
PictureCutter::Outcome FeedInPieces(PictureCutter& cutter, const std::string& stream, size_t step, std::string& picture)
{
    cutter.Reset();
    PictureCutter::Outcome outcome = cutter.Feed(stream.data(), step == 0 ? stream.size() : 0);
    for (size_t at = 0; step != 0 && at < stream.size(); at += step)
        outcome = cutter.Feed(stream.data() + at, std::min(step, stream.size() - at));
    picture = std::string(cutter.Picture());
    return outcome;
}

TEST(PictureCutter, cutsTheFirstPictureHoweverTheStreamIsSplit)
{
    PictureCutter cutter;
    for (const Case& c : Cases()) {
        for (size_t step : { size_t(0), size_t(1), size_t(2), size_t(7), size_t(8200) }) {
            std::string picture;
            const auto outcome = FeedInPieces(cutter, c.stream, step, picture);
            EXPECT_EQ(outcome, c.outcome) << c.name << ", pieces of " << step;
            EXPECT_EQ(picture, c.picture) << c.name << ", pieces of " << step;
            EXPECT_LE(cutter.ScannedBytes(), c.stream.size()) << c.name;
        }
    }
}

TEST(PictureCutter, keepsItsAnswerUntilReset)
{
    PictureCutter cutter;
    const std::string first = Picture("", "first");
    ASSERT_EQ(cutter.Feed(first), PictureCutter::Outcome::Picture);
    EXPECT_EQ(cutter.Feed(Picture("", "second")), PictureCutter::Outcome::Picture);
    EXPECT_EQ(cutter.Picture(), first);
    cutter.Reset();
    EXPECT_EQ(cutter.Feed(first.substr(0, 10)), PictureCutter::Outcome::NeedMore);
    EXPECT_TRUE(cutter.Picture().empty());
}

// Entropy-coded bytes without an end marker, as a stalled or endless picture brings them.
std::string Filler(size_t size)
{
    std::string data(size, '\x5A');
    for (size_t i = 100; i + 1 < size; i += 1000) {
        data[i] = '\xFF'; // stuffed FF: does not end the picture
        data[i + 1] = '\0';
    }
    return data;
}

TEST(PictureCutter, overflowEndsAStreamThatCannotGiveAPicture)
{
    const std::string head = Picture().substr(0, Picture().find("scan"));
    const std::string end = Bytes({ 0xFF, 0xD9 });
    struct Limit
    {
        const char* name;
        std::string stream;
        PictureCutter::Outcome outcome;
    };
    using O = PictureCutter::Outcome;
    const std::vector<Limit> limits = {
        { "picture of exactly the limit", head + Filler(PictureCutter::kPictureLimit - head.size() - 2) + end,
            O::Picture },
        { "picture one byte over the limit", head + Filler(PictureCutter::kPictureLimit - head.size() - 1) + end,
            O::Overflow },
        { "picture without an end past the limit", head + Filler(PictureCutter::kPictureLimit), O::Overflow },
        { "bytes without a start past the buffer", std::string(PictureCutter::kBufferLimit + 1, 'x'), O::Overflow },
        { "long junk, then a picture that fits",
            std::string(PictureCutter::kBufferLimit - Picture().size(), 'x') + Picture(), O::Picture },
    };
    PictureCutter cutter;
    for (const Limit& limit : limits) {
        std::string picture;
        EXPECT_EQ(FeedInPieces(cutter, limit.stream, PictureCutter::kBufferLimit / 3 + 1, picture), limit.outcome)
            << limit.name;
        EXPECT_EQ(FeedInPieces(cutter, limit.stream, 8200, picture), limit.outcome) << limit.name;
        EXPECT_LE(cutter.ScannedBytes(), limit.stream.size()) << limit.name;
    }
}

TEST(PictureCutter, resumesItsSearchWhereItStopped)
{
    // 1.4 MB arriving in reads of 8200 bytes: each byte is looked at once, not once per read.
    PictureCutter cutter;
    const std::string head = Picture().substr(0, Picture().find("scan"));
    cutter.Feed(head);
    const std::string data = Filler(8200);
    size_t fed = head.size();
    while (fed + data.size() < PictureCutter::kPictureLimit) {
        ASSERT_EQ(cutter.Feed(data), PictureCutter::Outcome::NeedMore);
        fed += data.size();
    }
    EXPECT_LE(cutter.ScannedBytes(), fed);
    EXPECT_GE(cutter.ScannedBytes(), fed - 1);
}

} // namespace
