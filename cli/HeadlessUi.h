#pragma once

#include "DocumentUi.h"

#include <cstdio>

namespace kadivo::cli {

// The document's user interface for a command line without a display: messages go to
// standard error, questions are answered with Cancel, dialogs are cancelled.
class HeadlessUi final : public DocumentUi {
public:
    void UpdateAllViews(int) override {}
    void SetStatusPane(int, const std::string&) override {}
    void SetFrameSlider(int, int) override {}
    void SetFrameSliderPosition(int) override {}
    void RebuildCameraViewMenu(const std::vector<CameraViewMenuEntry>&) override {}
    void RewriteCameraViewMenuEntry(const CameraViewMenuEntry&) override {}
    void RemoveCameraViewMenu() override {}
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "kadivo-cli: %s\n", text.c_str()); }
    Answer Ask(const std::string&, Buttons) override { return Answer::Cancel; }
    bool RunOptionsSheet(SequenceOptionsSheet&) override { return false; }
    std::optional<double> EditFrameRate(double) override { return std::nullopt; }
    std::optional<NewSequenceSetup> RunNewSequenceWizard() override { return std::nullopt; }
    bool OpenWindow(WindowState&) override { return true; }
    void CloseAllWindows() override {}
};

}  // namespace kadivo::cli
