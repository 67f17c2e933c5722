#pragma once

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace kadivo::cli {

// A small streaming JSON writer: objects, arrays and scalars, with commas managed here.
class JsonWriter {
public:
    explicit JsonWriter(std::FILE* out) : out_(out) {}

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }

    // Names the next value inside an object.
    JsonWriter& Key(const char* name) {
        Separate();
        WriteString(name);
        std::fputc(':', out_);
        afterKey_ = true;
        return *this;
    }

    void Int(long long value) {
        Separate();
        std::fprintf(out_, "%lld", value);
    }
    // Doubles and floats print with the digits that read back to the same value; JSON has
    // no NaN or infinity, so those print as null.
    void Double(double value) { Number(value, "%.17g"); }
    void Float(float value) { Number(static_cast<double>(value), "%.9g"); }
    void String(const std::string& value) {
        Separate();
        WriteString(value);
    }

    void Finish() { std::fputc('\n', out_); }

private:
    void Number(double value, const char* format) {
        Separate();
        if (std::isfinite(value)) std::fprintf(out_, format, value);
        else std::fputs("null", out_);
    }
    void Open(char bracket) {
        Separate();
        std::fputc(bracket, out_);
        first_.push_back(true);
    }
    void Close(char bracket) {
        std::fputc(bracket, out_);
        first_.pop_back();
    }
    void Separate() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (!first_.empty()) {
            if (!first_.back()) std::fputc(',', out_);
            first_.back() = false;
        }
    }
    void WriteString(const std::string& text) {
        std::fputc('"', out_);
        for (unsigned char c : text) {
            switch (c) {
            case '"': std::fputs("\\\"", out_); break;
            case '\\': std::fputs("\\\\", out_); break;
            case '\n': std::fputs("\\n", out_); break;
            case '\r': std::fputs("\\r", out_); break;
            case '\t': std::fputs("\\t", out_); break;
            default:
                // Text is 8-bit; bytes outside ASCII are written as the code points they name.
                if (c < 0x20 || c >= 0x7F) std::fprintf(out_, "\\u%04x", c);
                else std::fputc(c, out_);
            }
        }
        std::fputc('"', out_);
    }

    std::FILE* out_;
    std::vector<bool> first_;
    bool afterKey_ = false;
};

}  // namespace kadivo::cli
