#pragma once

#include "Prompts.h"

#include <cstdio>

namespace kadivo {

// Prompts where there is no display: messages go to `messages` (nowhere when it is null),
// questions are answered with Cancel and dialogs are cancelled.
class HeadlessPrompts final : public Prompts {
public:
    explicit HeadlessPrompts(std::FILE* messages = nullptr, std::string prefix = {})
        : messages_(messages), prefix_(std::move(prefix)) {}

    // One line a message: the lines of a message box's text are joined with spaces.
    void ShowMessage(const std::string& text, const QuestionStyle& = {"", true, 0}) override {
        lastMessage_ = text;
        for (char& c : lastMessage_)
            if (c == '\n') c = ' ';
        if (messages_) std::fprintf(messages_, "%s%s\n", prefix_.c_str(), lastMessage_.c_str());
    }
    // The last message, on one line; empty when there was none.
    const std::string& LastMessage() const { return lastMessage_; }
    Answer Ask(const std::string&, Buttons, const QuestionStyle&) override { return Answer::Cancel; }
    std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseOpenFile(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    int ChooseStream(int) override { return 0; }
    bool EditVideoImageOptions(int&, int&) override { return false; }
    bool RunOptionsSheet(SequenceOptionsSheet&) override { return false; }
    std::optional<double> EditFrameRate(double) override { return std::nullopt; }
    std::optional<NewSequenceSetup> RunNewSequenceWizard() override { return std::nullopt; }
    bool EditTrackImport(TrackImportPlan&, const std::vector<std::string>&, const std::vector<std::string>&, bool) override {
        return false;
    }
    std::optional<LensModel> RunLensCalibration(const std::string&, FrameSize) override { return std::nullopt; }
    void BeginProgress(const std::string&, int) override {}
    void StepProgress() override {}
    void EndProgress() override {}

private:
    std::FILE* messages_;
    std::string prefix_;
    std::string lastMessage_;
};

}  // namespace kadivo
