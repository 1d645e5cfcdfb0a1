#pragma once
// Reads the peers' answers: recorder answers are lines of key "=" value ended by CR LF, the camera list
// is lines without keys, and the portal's cookie header is pairs separated by "; ".

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class AnswerParser
{
public:
    AnswerParser() = default;
    explicit AnswerParser(std::string text);

    // An answer as the wire carried it: the bytes up to the first zero byte (the answer buffers are
    // zero-filled), at most `length` of them.
    static AnswerParser FromBytes(const char* data, size_t length);

    // Rebuilds the items as (key, value) pairs from the pieces between separators; a piece without "="
    // is dropped, and so is a piece holding a zero byte (the pieces after it stay); the key ends at the first
    // "=". Returns the number of pairs, -1 for an empty text.
    int SplitPairs(std::string_view separator);

    // Rebuilds the items as plain values, one per non-empty piece. Returns their number, -1 for an empty
    // text. Pieces are never trimmed nor judged: a piece holding a zero byte keeps its place in the list, for
    // the reader of the items to set aside.
    int SplitList(std::string_view separator);

    // The value of the first pair whose non-empty key equals `key` exactly; empty when there is none.
    std::string Value(std::string_view key) const;

    int Count() const { return int(items.size()); }

    // The value of item `index`; empty when out of range.
    std::string Item(int index) const;

    const std::string& Text() const { return text; }

private:
    template <typename Keep> int split(std::string_view separator, Keep keep);

    std::string text;
    std::vector<std::pair<std::string, std::string>> items; // list items have an empty key
};
