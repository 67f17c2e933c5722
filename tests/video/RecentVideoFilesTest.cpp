#include "RecentVideoFiles.h"

#include <gtest/gtest.h>

#include <map>

namespace kadivo::test {
namespace {

class MemorySettings : public SettingsStore {
public:
    std::string GetString(const std::string& section, const std::string& key, const std::string& fallback) const override {
        auto it = values.find(section + "/" + key);
        return it == values.end() ? fallback : it->second;
    }
    void SetString(const std::string& section, const std::string& key, const std::string& value) override {
        values[section + "/" + key] = value;
    }
    std::map<std::string, std::string> values;
};

TEST(RecentVideoFiles, ThePickedFileComesFirstAndTheFifthDropsOut) {
    MemorySettings settings;
    for (const char* path : {"a.avi", "b.avi", "c.avi", "d.avi", "e.avi", "f.avi"}) RememberRecentVideoFile(settings, path);
    EXPECT_EQ(settings.values, (std::map<std::string, std::string>{{"AVIFiles/File1", "f.avi"},
                                                                   {"AVIFiles/File2", "e.avi"},
                                                                   {"AVIFiles/File3", "d.avi"},
                                                                   {"AVIFiles/File4", "c.avi"},
                                                                   {"AVIFiles/File5", "b.avi"}}));
}

}  // namespace
}  // namespace kadivo::test
