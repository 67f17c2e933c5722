#pragma once

#include "Prompts.h"

// The fake reports through the test framework of the suite that includes it.
#if defined(KADIVO_QT_TESTS)
#include <QTest>
#define KADIVO_FAKE_FAIL(message) QTest::qFail(std::string(message).c_str(), __FILE__, __LINE__)
#else
#include <gtest/gtest.h>
#define KADIVO_FAKE_FAIL(message) ADD_FAILURE() << (message)
#endif

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace kadivo::test {

// Records what the program tells the user and answers its questions from a script.
// A message or question the test did not announce is a test failure.
class FakePrompts : public Prompts {
public:
    ~FakePrompts() override {
        if (!expectedMessages.empty()) KADIVO_FAKE_FAIL("message not shown: " + expectedMessages.front().text);
        if (!answers.empty()) KADIVO_FAKE_FAIL("question not asked: " + answers.front().question);
    }

    struct ScriptedAnswer {
        std::string question;
        Answer answer;
    };

    struct ExpectedMessage {
        std::string text;
        bool prefixOnly = false;
    };

    void ExpectMessage(std::string text) { expectedMessages.push_back({std::move(text), false}); }
    // For messages that end with a reason from the system.
    void ExpectMessageStartingWith(std::string prefix) { expectedMessages.push_back({std::move(prefix), true}); }
    void ExpectQuestion(std::string text, Answer answer) { answers.push_back({std::move(text), answer}); }

    void BeginProgress(const std::string& text, int range) override {
        progressText = text;
        progressRange = range;
        progressSteps = 0;
        progressShown = true;
    }
    void StepProgress() override { ++progressSteps; }
    void EndProgress() override { progressShown = false; }

    void ShowMessage(const std::string& text, const QuestionStyle& style = {"", true, 0}) override {
        shownMessages.push_back(text);
        shownMessageStyles.push_back(style);
        if (expectedMessages.empty()) {
            KADIVO_FAKE_FAIL("unexpected message: " + text);
            return;
        }
        const ExpectedMessage expected = expectedMessages.front();
        expectedMessages.pop_front();
        const bool matches = expected.prefixOnly ? text.substr(0, expected.text.size()) == expected.text : text == expected.text;
        if (!matches) KADIVO_FAKE_FAIL("message \"" + text + "\" where \"" + expected.text + "\" was expected");
    }
    Answer Ask(const std::string& text, Buttons buttons, const QuestionStyle& style) override {
        askedButtons.push_back(buttons);
        askedStyles.push_back(style);
        if (answers.empty()) {
            KADIVO_FAKE_FAIL("unexpected question: " + text);
            return Answer::Cancel;
        }
        ScriptedAnswer next = answers.front();
        answers.pop_front();
        if (next.question != text) KADIVO_FAKE_FAIL("question \"" + text + "\" where \"" + next.question + "\" was expected");
        return next.answer;
    }

    std::optional<std::string> ChooseSaveFile(const std::string& proposedName, const std::string& defaultExtension,
                                              const std::string& filter) override {
        proposedNames.push_back(proposedName);
        lastSaveExtension = defaultExtension;
        lastSaveFilter = filter;
        return saveFileAnswer;
    }

    std::optional<std::string> ChooseOpenFile(const std::string& initialName, const std::string& defaultExtension,
                                              const std::string& filter) override {
        openBoxNames.push_back(initialName);
        lastOpenExtension = defaultExtension;
        lastOpenFilter = filter;
        return openFileAnswer;
    }
    int ChooseStream(int count) override {
        streamChoiceCounts.push_back(count);
        return streamAnswer;
    }
    bool EditVideoImageOptions(int& imageType, int& firstField) override {
        shownImageOptions.push_back({imageType, firstField});
        if (!imageOptionsAnswer) return false;
        imageType = imageOptionsAnswer->first;
        firstField = imageOptionsAnswer->second;
        return true;
    }

    bool RunOptionsSheet(SequenceOptionsSheet& sheet) override {
        shownSheets.push_back(sheet);
        if (!editSheet) return false;
        editSheet(sheet);
        return true;
    }
    std::optional<double> EditFrameRate(double rate) override {
        shownFrameRates.push_back(rate);
        return frameRateAnswer;
    }
    std::optional<NewSequenceSetup> RunNewSequenceWizard() override { return wizardResult; }
    // The import dialog: cancelled while unset, else edits the plan it is shown.
    std::function<void(TrackImportPlan&)> trackImport;
    std::vector<std::string> shownTrackNames;
    bool EditTrackImport(TrackImportPlan& plan, const std::vector<std::string>& theirs, const std::vector<std::string>&,
                         bool) override {
        shownTrackNames = theirs;
        if (!trackImport) return false;
        trackImport(plan);
        return true;
    }

    // The lens calibration dialog: cancelled while unset; the video and picture it was offered.
    std::optional<LensModel> lensAnswer;
    std::vector<std::pair<std::string, FrameSize>> shownLensCalibrations;
    std::optional<LensModel> RunLensCalibration(const std::string& video, FrameSize picture) override {
        shownLensCalibrations.emplace_back(video, picture);
        return lensAnswer;
    }

    std::optional<std::string> saveFileAnswer;  // unset: the save box is cancelled
    std::optional<std::string> openFileAnswer;  // unset: the open box is cancelled
    std::vector<std::string> openBoxNames;
    std::string lastOpenExtension, lastOpenFilter;
    int streamAnswer = 0;
    std::vector<int> streamChoiceCounts;
    std::optional<std::pair<int, int>> imageOptionsAnswer;  // unset: the dialog is cancelled
    std::vector<std::pair<int, int>> shownImageOptions;
    std::vector<std::string> proposedNames;
    std::string lastSaveExtension, lastSaveFilter;
    std::string progressText;
    int progressRange = -1;
    int progressSteps = 0;
    bool progressShown = false;
    std::deque<ExpectedMessage> expectedMessages;
    std::vector<std::string> shownMessages;
    std::vector<QuestionStyle> shownMessageStyles;
    std::deque<ScriptedAnswer> answers;
    std::vector<Buttons> askedButtons;
    std::vector<QuestionStyle> askedStyles;
    std::function<void(SequenceOptionsSheet&)> editSheet;  // unset: the sheet is cancelled
    std::vector<SequenceOptionsSheet> shownSheets;
    std::optional<double> frameRateAnswer;
    std::vector<double> shownFrameRates;
    std::optional<NewSequenceSetup> wizardResult;
};

}  // namespace kadivo::test
