#include "MemorySettings.h"
#include "RecentVideoFiles.h"

#include <gtest/gtest.h>


namespace kadivo::test {
namespace {

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
