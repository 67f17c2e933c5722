#pragma once

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace kadivo::test {

// Just enough JSON for the reference data files: objects, arrays, strings, numbers.
struct Json {
    enum class Kind { Null, Number, String, Array, Object, Bool } kind = Kind::Null;
    double number = 0.0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> fields;

    const Json& operator[](const std::string& key) const {
        auto it = fields.find(key);
        if (it == fields.end()) throw std::runtime_error("no field " + key);
        return it->second;
    }
    std::vector<double> Numbers() const {
        std::vector<double> values;
        for (const Json& item : items) values.push_back(item.number);
        return values;
    }

    static Json Parse(const std::string& source) {
        std::size_t at = 0;
        return ParseValue(source, at);
    }
    static Json ParseFile(const std::string& path) {
        std::ifstream in(path);
        if (!in) throw std::runtime_error("cannot open " + path);
        std::stringstream buffer;
        buffer << in.rdbuf();
        return Parse(buffer.str());
    }

private:
    static void Skip(const std::string& s, std::size_t& at) {
        while (at < s.size() && std::isspace(static_cast<unsigned char>(s[at]))) ++at;
    }
    static Json ParseValue(const std::string& s, std::size_t& at) {
        Skip(s, at);
        Json value;
        if (at >= s.size()) throw std::runtime_error("unexpected end of JSON");
        const char c = s[at];
        if (c == '{') {
            value.kind = Kind::Object;
            ++at;
            Skip(s, at);
            if (s[at] == '}') return ++at, value;
            for (;;) {
                Json key = ParseValue(s, at);
                Skip(s, at);
                ++at;  // ':'
                value.fields[key.text] = ParseValue(s, at);
                Skip(s, at);
                if (s[at++] == '}') return value;
            }
        }
        if (c == '[') {
            value.kind = Kind::Array;
            ++at;
            Skip(s, at);
            if (s[at] == ']') return ++at, value;
            for (;;) {
                value.items.push_back(ParseValue(s, at));
                Skip(s, at);
                if (s[at++] == ']') return value;
            }
        }
        if (c == '"') {
            value.kind = Kind::String;
            for (++at; s[at] != '"'; ++at) {
                if (s[at] == '\\') ++at;
                value.text.push_back(s[at]);
            }
            ++at;
            return value;
        }
        if (s.compare(at, 4, "true") == 0 || s.compare(at, 5, "false") == 0) {
            value.kind = Kind::Bool;
            value.number = s[at] == 't';
            at += s[at] == 't' ? 4 : 5;
            return value;
        }
        if (s.compare(at, 4, "null") == 0) {
            at += 4;
            return value;
        }
        value.kind = Kind::Number;
        char* end = nullptr;
        value.number = std::strtod(s.c_str() + at, &end);
        at = static_cast<std::size_t>(end - s.c_str());
        return value;
    }
};

}  // namespace kadivo::test
