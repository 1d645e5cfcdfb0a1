#pragma once
// A small streaming JSON writer for the state file: objects, arrays, strings (escaped), numbers and
// booleans, with commas placed automatically.

#include <string>
#include <vector>

class JsonWriter
{
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(const std::string& name);
    JsonWriter& value(const std::string& text);
    JsonWriter& value(const char* text) { return value(std::string(text)); }
    JsonWriter& value(long long number);
    JsonWriter& value(int number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(bool flag);

    // key + value in one call
    template <typename T> JsonWriter& field(const std::string& name, const T& v) { return key(name).value(v); }

    const std::string& text() const { return out; }

private:
    void separate();
    std::string out;
    std::vector<bool> first; // per open container: nothing written in it yet
    bool afterKey = false;
};
