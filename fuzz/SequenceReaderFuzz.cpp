// Feeds arbitrary bytes to the sequence file reader; a well-formed result is written and
// read again, and both images must agree.

#include "CKadivoDoc.h"
#include "SequenceFile.h"

#include <cstdlib>
#include <memory>

namespace {

class SilentUi final : public kadivo::DocumentUi {
public:
    void UpdateAllViews(int) override {}
    void SetStatusPane(int, const std::string&) override {}
    void SetFrameSlider(int, int) override {}
    void SetFrameSliderPosition(int) override {}
    void RebuildCameraViewMenu(const std::vector<kadivo::CameraViewMenuEntry>&) override {}
    void RewriteCameraViewMenuEntry(const kadivo::CameraViewMenuEntry&) override {}
    void RemoveCameraViewMenu() override {}
    void ShowMessage(const std::string&) override {}
    kadivo::Answer Ask(const std::string&, kadivo::Buttons) override { return kadivo::Answer::Cancel; }
    bool RunOptionsSheet(kadivo::SequenceOptionsSheet&) override { return false; }
    std::optional<double> EditFrameRate(double) override { return std::nullopt; }
    std::optional<kadivo::NewSequenceSetup> RunNewSequenceWizard() override { return std::nullopt; }
    bool OpenWindow(kadivo::WindowState&) override { return true; }
    void CloseAllWindows() override {}
};

kadivo::VideoSourceFactory NoVideo() {
    return [] { return std::make_unique<kadivo::NoVideoSource>(); };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SilentUi ui;
    kadivo::CKadivoDoc doc(ui, NoVideo());
    try {
        kadivo::ReadSequence(data, size, doc);
    } catch (const kadivo::FileFormatError&) {
        return 0;
    }
    const std::vector<std::uint8_t> written = kadivo::WriteSequence(doc);
    kadivo::CKadivoDoc again(ui, NoVideo());
    kadivo::ReadSequence(written.data(), written.size(), again);
    if (kadivo::WriteSequence(again) != written) std::abort();
    return 0;
}
