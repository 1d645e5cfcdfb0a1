#include "device/AnswerParser.h"

#include <cstring>

AnswerParser::AnswerParser(std::string text)
    : text(std::move(text))
{
}

AnswerParser AnswerParser::FromBytes(const char* data, size_t length)
{
    if (data == nullptr) {
        return AnswerParser();
    }
    const void* zero = std::memchr(data, '\0', length);
    const size_t end = zero != nullptr ? size_t(static_cast<const char*>(zero) - data) : length;
    return AnswerParser(std::string(data, end));
}

template <typename Keep> int AnswerParser::split(std::string_view separator, Keep keep)
{
    items.clear();
    if (text.empty()) {
        return -1;
    }
    // piece separator piece separator ... piece; an empty separator leaves the text as one piece.
    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t at = separator.empty() ? std::string_view::npos : rest.find(separator);
        const std::string_view piece = rest.substr(0, at);
        rest = at == std::string_view::npos ? std::string_view() : rest.substr(at + separator.size());
        keep(piece);
    }
    return Count();
}

int AnswerParser::SplitPairs(std::string_view separator)
{
    return split(separator, [this](std::string_view piece) {
        const size_t equals = piece.find('=');
        if (equals != std::string_view::npos && piece.find('\0') == std::string_view::npos) {
            items.emplace_back(std::string(piece.substr(0, equals)), std::string(piece.substr(equals + 1)));
        }
    });
}

int AnswerParser::SplitList(std::string_view separator)
{
    return split(separator, [this](std::string_view piece) {
        if (!piece.empty()) {
            items.emplace_back(std::string(), std::string(piece));
        }
    });
}

std::string AnswerParser::Value(std::string_view key) const
{
    for (const auto& [itemKey, value] : items) {
        if (!itemKey.empty() && itemKey == key) {
            return value;
        }
    }
    return {};
}

std::string AnswerParser::Item(int index) const
{
    if (index < 0 || index >= Count()) {
        return {};
    }
    return items[size_t(index)].second;
}
