#include "ErrorMessage.h"
#include "IsolatedRead.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace kadivo::test {
namespace {

std::string Message(const std::function<TrackSet()>& read, int seconds = 30) {
    return ErrorMessage<TrackFileError>([&] { ReadTracksInChildProcess("trial.h5", read, seconds); });
}

TEST(IsolatedRead, TheChildsTracksComeBackWhole) {
    TrackSet sent;
    sent.names = {"head", "", "a name, with a comma"};
    for (int f = 0; f < 1000; ++f) sent.frames.push_back({{1.5f * static_cast<float>(f), 2.0f, 0.5f}, {NAN, NAN, NAN}, {-3.0f, 1e6f, 1.0f}});
    const TrackSet got = ReadTracksInChildProcess("trial.h5", [&] { return sent; });
    EXPECT_EQ(got.names, sent.names);
    ASSERT_EQ(got.frames.size(), sent.frames.size());
    EXPECT_EQ(got.frames[999][0].x, 1498.5f);
    EXPECT_TRUE(std::isnan(got.frames[3][1].y));
    EXPECT_EQ(ReadTracksInChildProcess("empty.h5", [] { return TrackSet{}; }).frames.size(), 0u);
}

TEST(IsolatedRead, AnErrorACrashAndAHangAreErrorsOfTheParent) {
    EXPECT_EQ(Message([]() -> TrackSet { throw TrackFileError("trial.h5, dataset \"tracks\": missing"); }),
              "trial.h5, dataset \"tracks\": missing");
    EXPECT_EQ(Message([]() -> TrackSet { std::abort(); }), "trial.h5: the file is damaged; it could not be read");
    EXPECT_EQ(Message(
                  []() -> TrackSet {
                      std::this_thread::sleep_for(std::chrono::seconds(30));
                      return {};
                  },
                  1),
              "trial.h5: reading it did not finish; the file may be damaged");
}

}  // namespace
}  // namespace kadivo::test
