#pragma once
// Cuts the first JPEG picture out of a camera's picture stream as its bytes arrive: it starts at the picture's
// start marker (FF D8, whatever comes before it, such as a multipart part header, is skipped) and ends at the
// picture's own end marker (FF D9), with the byte limits of the preview's buffers.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class PictureCutter
{
public:
    // Bytes held while looking for a picture (what precedes the start marker included).
    static constexpr size_t kBufferLimit = 2160000;
    // Largest picture handed out.
    static constexpr size_t kPictureLimit = 1440000;

    enum class Outcome {
        NeedMore, // no whole picture yet
        Picture, // Picture() holds the first whole picture of the stream
        Overflow, // the limits were passed before a picture ended: this stream cannot give one
    };

    // Takes the next bytes of the stream. Once it answered Picture or Overflow it keeps that answer and ignores
    // further bytes until Reset. Every byte is examined once, however the stream is split.
    Outcome Feed(const char* data, size_t size);
    Outcome Feed(std::string_view bytes) { return Feed(bytes.data(), bytes.size()); }

    // The picture, from its start marker up to and including its end marker (empty unless Feed gave Picture).
    std::string_view Picture() const;

    // Forgets everything; the buffer keeps its capacity for the next stream.
    void Reset();

    // Bytes examined since the last Reset (each byte of the stream at most once).
    size_t ScannedBytes() const { return scanned; }

private:
    enum class Stage {
        Start, // looking for FF D8
        Marker, // at a marker segment between the start marker and the picture data
        SegmentLength, // reading a segment's two length bytes
        SkipSegment, // skipping a segment's contents (an embedded thumbnail may hold FF D9 here)
        Data, // in entropy-coded data: FF 00 and restart markers belong to it, another marker ends it
        PlainSearch, // a segment structure that does not parse: the first FF D9 ends the picture
        Done,
    };

    void scan();
    void scanStart();
    void scanMarker();
    void scanSegmentLength();
    void scanSkip();
    void scanData();
    void scanPlain();
    void finish(size_t end);

    std::vector<char> buffer;
    size_t position = 0; // next byte to examine
    size_t start = 0; // the picture's first byte (its FF D8) once found
    size_t skipUntil = 0; // SkipSegment: the first byte after the segment
    bool scanningScan = false; // the segment being read is a scan header: picture data follows it
    Stage stage = Stage::Start;
    Outcome outcome = Outcome::NeedMore;
    size_t pictureEnd = 0;
    size_t scanned = 0;
};
