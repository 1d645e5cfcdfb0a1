// JSON text building.
#include "JsonWriter.h"

#include <cstdio>

namespace {

// Length of the well-formed UTF-8 sequence starting at text[i] (a byte >= 0x80), or 0.
size_t utf8SequenceLength(const std::string& text, size_t i)
{
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead <= 0xDF ? 2 : 0;
    if (length == 0 || i + length > text.size()) {
        return 0;
    }
    unsigned char second = byte(i + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) || (lead == 0xF0 && second < 0x90)
        || (lead == 0xF4 && second >= 0x90)) {
        return 0; // overlong form, surrogate or beyond U+10FFFF
    }
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

} // namespace

void JsonWriter::separate()
{
    if (afterKey) {
        afterKey = false;
        return;
    }
    if (!first.empty()) {
        if (!first.back()) {
            out += ',';
        }
        first.back() = false;
        out += '\n';
        out.append(first.size() * 2, ' ');
    }
}

JsonWriter& JsonWriter::beginObject()
{
    separate();
    out += '{';
    first.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endObject()
{
    bool empty = first.back();
    first.pop_back();
    if (!empty) {
        out += '\n';
        out.append(first.size() * 2, ' ');
    }
    out += '}';
    return *this;
}

JsonWriter& JsonWriter::beginArray()
{
    separate();
    out += '[';
    first.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endArray()
{
    bool empty = first.back();
    first.pop_back();
    if (!empty) {
        out += '\n';
        out.append(first.size() * 2, ' ');
    }
    out += ']';
    return *this;
}

JsonWriter& JsonWriter::key(const std::string& name)
{
    value(name);
    out += ": ";
    afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::value(const std::string& text)
{
    separate();
    out += '"';
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            // A valid UTF-8 sequence passes through; any other byte becomes \u00XX so the file stays JSON.
            size_t length = utf8SequenceLength(text, i);
            if (length > 0) {
                out.append(text, i, length);
                i += length - 1;
            } else {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", c);
                out += esc;
            }
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", c);
                out += esc;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    out += '"';
    return *this;
}

JsonWriter& JsonWriter::value(long long number)
{
    separate();
    out += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::value(bool flag)
{
    separate();
    out += flag ? "true" : "false";
    return *this;
}
