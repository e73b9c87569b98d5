// One JSON object on one line, built field by field: the output format of the helper programs,
// read back by kestoral_harness.py. Text is taken as bytes of the ANSI code page; bytes outside
// ASCII pass through unchanged and control characters are escaped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::string JsonQuoted(const std::string& text);

class JsonLine {
public:
    JsonLine& Add(const char* name, const std::string& text);
    JsonLine& Add(const char* name, const char* text) { return Add(name, std::string(text)); }
    JsonLine& Add(const char* name, std::int64_t number);
    JsonLine& Add(const char* name, bool flag);
    JsonLine& Add(const char* name, const std::vector<std::int64_t>& numbers);
    // The finished object, "{...}", without a line end.
    std::string Str() const { return "{" + body_ + "}"; }

private:
    void Name(const char* name);
    std::string body_;
};
