#pragma once

#include "DocumentUi.h"

#include <cstdio>

namespace kadivo {

// The document's user interface where there is no display: messages go to `messages`
// (nowhere when it is null), questions are answered with Cancel, dialogs are cancelled and
// windows are records only.
class HeadlessUi final : public DocumentUi {
public:
    explicit HeadlessUi(std::FILE* messages = nullptr) : messages_(messages) {}

    void UpdateAllViews(int) override {}
    void SetStatusPane(int, const std::string&) override {}
    void SetFrameSlider(int, int) override {}
    void SetFrameSliderPosition(int) override {}
    void RebuildCameraViewMenu(const std::vector<CameraViewMenuEntry>&) override {}
    void RewriteCameraViewMenuEntry(const CameraViewMenuEntry&) override {}
    void RemoveCameraViewMenu() override {}
    void BeginProgress(const std::string&, int) override {}
    void StepProgress() override {}
    void EndProgress() override {}
    void ShowMessage(const std::string& text) override {
        if (messages_) std::fprintf(messages_, "%s\n", text.c_str());
    }
    Answer Ask(const std::string&, Buttons) override { return Answer::Cancel; }
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
    bool OpenWindow(WindowState&) override { return true; }
    void CloseAllWindows() override {}

private:
    std::FILE* messages_;
};

}  // namespace kadivo
