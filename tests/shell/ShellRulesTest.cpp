#include "DocumentFixture.h"
#include "FileFilters.h"
#include "MemorySettings.h"
#include "ProgressRules.h"
#include "ShellState.h"
#include "TempDir.h"
#include "TipOfTheDay.h"

#include <fstream>
#include <limits>

namespace kadivo::test {
namespace {

TEST(ProgressRules, ThePercentageIsTakenModuloHundredExceptAtExactlyHundred) {
    EXPECT_EQ(ProgressPercentText(0, 0, 100), "0%");
    EXPECT_EQ(ProgressPercentText(37, 0, 100), "37%");
    EXPECT_EQ(ProgressPercentText(100, 0, 100), "100%");
    EXPECT_EQ(ProgressPercentText(150, 0, 100), "50%");
    EXPECT_EQ(ProgressPercentText(200, 0, 100), "0%");
    EXPECT_EQ(ProgressPercentText(15, 10, 20), "50%");
    EXPECT_EQ(ProgressPercentText(3, 5, 5), "0%") << "an empty range does not divide by zero";
}

TEST(ProgressRules, TheFrameSliderStepsByTheFrameStepAndTheDocumentFollowsUpToTheLimit) {
    const SliderRange range{0, 99};
    EXPECT_EQ(MoveFrameSlider(SliderAction::LineRight, 10, range, 3, 0), (SliderMove{13, true}));
    EXPECT_EQ(MoveFrameSlider(SliderAction::LineLeft, 10, range, 3, 0), (SliderMove{7, true}));
    EXPECT_EQ(MoveFrameSlider(SliderAction::LineLeft, 0, range, 3, 0), (SliderMove{0, true})) << "not below the minimum";
    EXPECT_EQ(MoveFrameSlider(SliderAction::LineRight, 99, range, 3, 0), (SliderMove{99, true})) << "not beyond the limit";
    EXPECT_EQ(MoveFrameSlider(SliderAction::PageRight, 95, range, 3, 0), (SliderMove{99, true}));
    EXPECT_EQ(MoveFrameSlider(SliderAction::PageLeft, 4, range, 3, 0), (SliderMove{0, true}));
    EXPECT_EQ(MoveFrameSlider(SliderAction::Thumb, 4, range, 3, 42), (SliderMove{42, true}));
    EXPECT_EQ(MoveFrameSlider(SliderAction::Home, 50, range, 3, 0), (SliderMove{0, true}));
    EXPECT_EQ(MoveFrameSlider(SliderAction::End, 50, range, 3, 0), (SliderMove{99, true})) << "the last frame";
    // At the ends of the range of frame numbers nothing wraps around.
    constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
    const SliderRange wide{kMin, kMax};
    EXPECT_EQ(MoveFrameSlider(SliderAction::LineRight, kMax - 1, wide, 5, 0).position, kMax);
    EXPECT_EQ(MoveFrameSlider(SliderAction::LineLeft, kMin + 1, wide, 5, 0).position, kMin);
    EXPECT_EQ(MoveFrameSlider(SliderAction::PageRight, kMax - 3, wide, 5, 0).position, kMax);
    EXPECT_EQ(MoveFrameSlider(SliderAction::PageLeft, kMin + 3, wide, 5, 0).position, kMin);
}


TEST(FileFilters, BoxFiltersBecomeQtFilters) {
    EXPECT_EQ(QtFileFilter("Text File (*.txt)|*.txt|All Files (*.*)|*.*||"), "Text File (*.txt);;All Files (*)");
    EXPECT_EQ(QtFileFilter("Kadivo Files (*.kdv)|*.kdv||"), "Kadivo Files (*.kdv)");
    EXPECT_EQ(QtFileFilter("Pictures|*.bmp;*.png||"), "Pictures (*.bmp *.png)");
    EXPECT_EQ(QtFileFilter(""), "");
}

TEST(TipOfTheDay, TipsComeInTurnAndStartOverWhenTheFileChanges) {
    TempDir dir;
    MemorySettings settings;
    const std::string path = dir.Path("tips.txt");
    std::ofstream(path) << "First tip.\n\nSecond tip.\r\nThird tip.\n";
    TipOfTheDay tips(settings, path);
    std::string error;
    EXPECT_EQ(tips.NextTip(error), "First tip.");
    EXPECT_EQ(tips.NextTip(error), "Second tip.") << "empty lines are skipped, CR LF ends a line";
    EXPECT_EQ(tips.NextTip(error), "Third tip.");
    EXPECT_EQ(tips.NextTip(error), "First tip.") << "round again at the end";
    EXPECT_EQ(TipOfTheDay(settings, path).NextTip(error), "Second tip.") << "the position is kept in the settings";
    settings.values["Tip/TimeStamp"] = "an older file";
    EXPECT_EQ(tips.NextTip(error), "First tip.") << "another file: from its start";
    EXPECT_EQ(settings.values["Tip/TimeStamp"], FileTimeStamp(path));
}

TEST(TipOfTheDay, MissingAndEmptyFilesGiveTheirMessages) {
    TempDir dir;
    MemorySettings settings;
    std::string error;
    EXPECT_FALSE(TipOfTheDay(settings, dir.Path("none.txt")).NextTip(error));
    EXPECT_EQ(error, "Tips file does not exist in the prescribed directory");
    std::ofstream(dir.Path("empty.txt")) << "\n  \n";
    EXPECT_FALSE(TipOfTheDay(settings, dir.Path("empty.txt")).NextTip(error));
    EXPECT_EQ(error, "Trouble reading the tips file");
    TipOfTheDay tips(settings, dir.Path("empty.txt"));
    EXPECT_FALSE(tips.ShowAtStartup());
    tips.SetShowAtStartup(true);
    EXPECT_EQ(settings.values["Tip/StartUp"], "1");
}

class CommandRules : public DocumentFixture {};

TEST_F(CommandRules, WithoutASequenceOnlyTheProgramsCommandsRun) {
    ShellState state;
    for (CommandId id : {CommandId::NewSequence, CommandId::OpenSequence, CommandId::Exit, CommandId::About,
                         CommandId::HelpTopics, CommandId::DigitizingModel, CommandId::CalibrationSetup,
                         CommandId::DigitizingModels, CommandId::CalibrationObjects})
        EXPECT_TRUE(ShellCommandStatus(id, state)->enabled) << Command(id).text;
    for (CommandId id : {CommandId::Save, CommandId::SaveAll, CommandId::NextImage, CommandId::ExportPoints,
                         CommandId::Print, CommandId::NewDigitizingWindow, CommandId::SequenceOptions,
                         CommandId::CalibrationOptions})
        EXPECT_FALSE(ShellCommandStatus(id, state)->enabled) << Command(id).text;
    EXPECT_FALSE(ShellCommandStatus(CommandId::EraseLastPoint, state)) << "the windows' own commands";
}

TEST_F(CommandRules, WindowCommandsNeedTheirWindowKindAndCaptureOpensOnce) {
    NewSequence(2);
    ShellState state;
    state.doc = doc.get();
    state.anyDocument = true;
    EXPECT_FALSE(ShellCommandStatus(CommandId::NewAnalysisWindow, state)->enabled) << "no graph window yet";
    EXPECT_FALSE(ShellCommandStatus(CommandId::LinearKinematics, state)->enabled);
    state.kindAvailable = {true, true, true, true};
    EXPECT_TRUE(ShellCommandStatus(CommandId::NewAnalysisWindow, state)->enabled);
    EXPECT_TRUE(ShellCommandStatus(CommandId::EnableVideoCapture, state)->enabled);
    state.captureOpen = true;
    EXPECT_FALSE(ShellCommandStatus(CommandId::EnableVideoCapture, state)->enabled);
    for (CommandId id : {CommandId::SequenceOptions, CommandId::AutoSearchOptions, CommandId::CaptureOptions,
                         CommandId::FilterOptions, CommandId::PointsConfiguration, CommandId::CalibrationOptions,
                         CommandId::NewSequence})
        EXPECT_TRUE(ShellCommandStatus(id, state)->enabled) << Command(id).text << ": with a sequence open";
}

TEST_F(CommandRules, DocumentCommandsFollowTheDocument) {
    NewSequence(2);
    OpenVideo("walk.avi", 10);
    const auto status = [&](CommandId id) { return DocumentCommandStatus(id, *doc); };
    EXPECT_FALSE(status(CommandId::PreviousImage).enabled);
    EXPECT_TRUE(status(CommandId::NextImage).enabled);
    EXPECT_FALSE(status(CommandId::JumpToStart).enabled);
    EXPECT_TRUE(status(CommandId::JumpToEnd).enabled);
    EXPECT_FALSE(status(CommandId::RemoveView).enabled);
    EXPECT_FALSE(status(CommandId::ViewDltParameters).enabled);
    EXPECT_FALSE(status(CommandId::ExportLinear).enabled) << "no world data";
    EXPECT_TRUE(status(CommandId::ExportPoints).enabled);
    EXPECT_FALSE(status(CommandId::TransformImageData).enabled) << "the calibration frame is not digitized";
    EXPECT_TRUE(status(CommandId::VideoOptions).enabled);
    EXPECT_EQ(status(CommandId::ZoomOne), (CommandStatus{true, true}));
    EXPECT_EQ(status(CommandId::ZoomTwo), (CommandStatus{true, false}));
    doc->OnLockViews();
    EXPECT_TRUE(status(CommandId::LockViews).checked);
    doc->NextImage(true);
    EXPECT_TRUE(status(CommandId::PreviousImage).enabled);
    doc->AddCameraView();
    EXPECT_TRUE(status(CommandId::RemoveView).enabled);
    doc->dltValid = true;
    EXPECT_TRUE(status(CommandId::ViewDltParameters).enabled);
}

TEST(Commands, EveryToolbarButtonIsACommandWithAnIcon) {
    auto check = [](const auto& buttons) {
        for (CommandId id : buttons) {
            if (id == kSeparator) continue;
            EXPECT_FALSE(Command(id).icon.empty()) << Command(id).text;
        }
    };
    check(kMainToolbar);
    check(kDigitizingToolbar);
    check(kCaptureToolbar);
    check(kAnimationToolbar);
    check(kAnalysisToolbar);
    check(kWindowToolbar);
    check(kImageToolbar);
}

}  // namespace
}  // namespace kadivo::test
