#include "json_line.h"

#include <cstdio>

std::string JsonQuoted(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

void JsonLine::Name(const char* name)
{
    if (!body_.empty())
        body_ += ",";
    body_ += JsonQuoted(name) + ":";
}

JsonLine& JsonLine::Add(const char* name, const std::string& text)
{
    Name(name);
    body_ += JsonQuoted(text);
    return *this;
}

JsonLine& JsonLine::Add(const char* name, std::int64_t number)
{
    Name(name);
    body_ += std::to_string(number);
    return *this;
}

JsonLine& JsonLine::Add(const char* name, bool flag)
{
    Name(name);
    body_ += flag ? "true" : "false";
    return *this;
}

JsonLine& JsonLine::Add(const char* name, const std::vector<std::int64_t>& numbers)
{
    Name(name);
    body_ += "[";
    for (size_t i = 0; i < numbers.size(); ++i)
        body_ += (i ? "," : "") + std::to_string(numbers[i]);
    body_ += "]";
    return *this;
}
