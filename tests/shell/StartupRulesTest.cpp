#include "MemorySettings.h"
#include "SettingsValues.h"
#include "StartupRules.h"

#include <gtest/gtest.h>

namespace kadivo::test {
namespace {

using Kind = StartupAction::Kind;

TEST(StartupRules, TheCommandLineNamesAFileAsksForANewOneOrAScreenshot) {
    EXPECT_EQ(ParseCommandLine({}).fileMode, CommandLine::FileMode::None);
    const CommandLine named = ParseCommandLine({"walk.kdv"});
    EXPECT_EQ(named.fileMode, CommandLine::FileMode::NamedFile);
    EXPECT_EQ(named.file, "walk.kdv");
    EXPECT_TRUE(named.showSplash);
    EXPECT_EQ(ParseCommandLine({"--new"}).fileMode, CommandLine::FileMode::NewFile);
    const CommandLine shot = ParseCommandLine({"--screenshot", "out.png", "walk.kdv"});
    EXPECT_EQ(shot.screenshot, "out.png");
    EXPECT_EQ(shot.file, "walk.kdv");
    EXPECT_FALSE(shot.showSplash) << "nobody watches a screenshot run";
    EXPECT_FALSE(ParseCommandLine({"--no-splash"}).showSplash);
    EXPECT_THROW(ParseCommandLine({"--screenshot"}), std::invalid_argument);
    EXPECT_THROW(ParseCommandLine({"--frobnicate"}), std::invalid_argument);
    EXPECT_THROW(ParseCommandLine({"a.kdv", "b.kdv"}), std::invalid_argument);
}

TEST(StartupRules, WithoutAStoredOptionPreferencesShowDoNothingButStartUpOpensTheLastSequence) {
    MemorySettings settings;
    EXPECT_EQ(PreferencesStartupOption(settings), StartupOption::DoNothing);
    EXPECT_EQ(ActingStartupOption(settings), StartupOption::LastSavedSequence);
    const StartupAction action = ChooseStartupAction({}, ActingStartupOption(settings), {"/data/last.kdv", "/data/older.kdv"});
    EXPECT_EQ(action, (StartupAction{Kind::OpenFile, "/data/last.kdv"}));
    StoreStartupOption(settings, StartupOption::NewSequence);
    EXPECT_EQ(PreferencesStartupOption(settings), StartupOption::NewSequence);
    EXPECT_EQ(ActingStartupOption(settings), StartupOption::NewSequence);
    settings.values["Startup/option"] = "7";
    EXPECT_EQ(ActingStartupOption(settings), StartupOption::LastSavedSequence) << "a value out of range counts as none";
}

TEST(StartupRules, ANamedFileWinsOverTheOption) {
    const CommandLine named = ParseCommandLine({"walk.kdv"});
    for (StartupOption option : {StartupOption::NewSequence, StartupOption::LastSavedSequence, StartupOption::DoNothing})
        EXPECT_EQ(ChooseStartupAction(named, option, {"other.kdv"}), (StartupAction{Kind::OpenFile, "walk.kdv"}));
    EXPECT_EQ(ChooseStartupAction(ParseCommandLine({"--new"}), StartupOption::LastSavedSequence, {"other.kdv"}).kind,
              Kind::NewSequence);
}

TEST(StartupRules, EachOptionAndAnEmptyRecentList) {
    EXPECT_EQ(ChooseStartupAction({}, StartupOption::LastSavedSequence, {}).kind, Kind::Nothing);
    EXPECT_EQ(ChooseStartupAction({}, StartupOption::NewSequence, {"a.kdv"}).kind, Kind::NewSequence);
    EXPECT_EQ(ChooseStartupAction({}, StartupOption::DoNothing, {"a.kdv"}).kind, Kind::Nothing);
}

TEST(StartupRules, TheProgramDirectoryIsTheExecutablesFolder) {
    EXPECT_EQ(ProgramDirectory("/usr/lib/kadivo/kadivo"), "/usr/lib/kadivo");
    EXPECT_EQ(ProgramDirectory("kadivo"), "kadivo") << "a path without a folder is used unchanged";
    EXPECT_EQ(ProgramDirectory("/kadivo"), "/kadivo");
}

TEST(StartupRules, TheSplashRunsTheStartUpActionOnceWhateverClosesItFirst) {
    SplashGate gate;
    int actions = 0;
    auto close = [&] {
        if (gate.Close()) ++actions;
    };
    close();  // a key press during the splash
    close();  // the timer afterwards
    close();  // a click
    EXPECT_EQ(actions, 1);
    EXPECT_FALSE(gate.IsOpen());
}

TEST(SettingsValues, ToolbarVisibilityIsWrittenAndReadBack) {
    MemorySettings settings;
    EXPECT_FALSE(ToolbarVisible(settings, "AviBar")) << "hidden when nothing is stored";
    StoreToolbarVisible(settings, "AviBar", true);
    EXPECT_EQ(settings.values["Toolbars/AviBar"], "1");
    EXPECT_TRUE(ToolbarVisible(settings, "AviBar"));
    StoreToolbarVisible(settings, "AviBar", false);
    EXPECT_FALSE(ToolbarVisible(settings, "AviBar"));
    settings.values["Toolbars/CAPBar"] = "yes";
    EXPECT_FALSE(ToolbarVisible(settings, "CAPBar")) << "not a number: the default";
}

TEST(SettingsValues, RecentSequencesKeepFiveMostRecentFirst) {
    MemorySettings settings;
    RecentFileList recent = RecentSequences(settings);
    for (const char* path : {"a.kdv", "b.kdv", "c.kdv", "d.kdv", "e.kdv", "f.kdv"}) recent.Add(path);
    EXPECT_EQ(recent.Paths(), (std::vector<std::string>{"f.kdv", "e.kdv", "d.kdv", "c.kdv", "b.kdv"}));
    recent.Add("d.kdv");
    EXPECT_EQ(recent.Paths(), (std::vector<std::string>{"d.kdv", "f.kdv", "e.kdv", "c.kdv", "b.kdv"}));
    recent.Remove("e.kdv");
    EXPECT_EQ(recent.Paths(), (std::vector<std::string>{"d.kdv", "f.kdv", "c.kdv", "b.kdv"}));
    EXPECT_EQ(settings.values["Recent File List/File5"], "");
}

TEST(SettingsValues, TheRecentVideoDropDownLeavesOutEmptyEntries) {
    MemorySettings settings;
    settings.values["AVIFiles/File1"] = "/v/a.avi";
    settings.values["AVIFiles/File3"] = "/v/c.avi";
    EXPECT_EQ(RecentVideoEntries(settings),
              (std::vector<RecentVideoEntry>{{"&1 /v/a.avi", "/v/a.avi"}, {"&3 /v/c.avi", "/v/c.avi"}}));
}

}  // namespace
}  // namespace kadivo::test
