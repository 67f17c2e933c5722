#pragma once

#include "DocumentFixture.h"

#include <ctime>

namespace kadivo::test {

// A sequence with world data but no video, for the exporters.
class ExportFixture : public DocumentFixture {
protected:
    template <typename Position>
    void World(int points, int frames, Position position, float period = 0.04f) {
        NewSequence(points);
        doc->framePeriod = period;
        doc->worldFrameCount = frames;
        doc->worldRaw = WorldData(frames + 1, points + 1);
        for (int f = 0; f < frames; ++f)
            for (int p = 0; p <= points; ++p) doc->worldRaw[f][p] = position(p, f);
        doc->worldFiltered = doc->worldRaw;
    }

    static std::tm Noon() {
        std::tm t{};
        t.tm_year = 2026 - 1900;
        t.tm_mon = 11;
        t.tm_mday = 8;
        t.tm_hour = 9;
        t.tm_min = 5;
        t.tm_sec = 7;
        return t;
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::string line;
        for (char c : text) {
            if (c == '\n') {
                lines.push_back(line);
                line.clear();
            } else {
                line.push_back(c);
            }
        }
        if (!line.empty()) lines.push_back(line);
        return lines;
    }

    static std::vector<std::string> Fields(const std::string& line, char separator) {
        std::vector<std::string> fields(1);
        for (char c : line) {
            if (c == separator) fields.emplace_back();
            else fields.back().push_back(c);
        }
        return fields;
    }
};

}  // namespace kadivo::test
