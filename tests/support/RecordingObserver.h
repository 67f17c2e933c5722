#pragma once

#include "CKadivoDoc.h"
#include "DocumentChange.h"

#include <string>
#include <vector>

namespace kadivo::test {

// Stands where the program's windows and main frame stand: records every change a document
// announces, with its update hint, and reads the status texts, the frame slider and the
// camera-view menu from the document after each change, as the main frame does.
class RecordingObserver : public DocumentObserver {
public:
    void Attach(CKadivoDoc& doc) {
        doc_ = &doc;
        doc.observers().Add(*this);
    }

    void OnDocumentChanged(const DocumentChange& change) override {
        changes.push_back(change);
        if (const int hint = UpdateHint(change)) hints.push_back(hint);
        const StatusTexts status = doc_->Status();
        panes[1] = status.mode;
        panes[2] = status.side;
        panes[3] = status.point;
        panes[4] = status.image;
        const FrameSliderState slider = doc_->FrameSlider();
        sliderMax = slider.rangeMax;
        sliderPosition = slider.position;
        menu = doc_->CameraViewMenuEntries();
    }

    std::vector<DocumentChange> changes;
    std::vector<int> hints;  // the non-zero hints, in order
    std::string panes[5];
    int sliderMax = -1;
    int sliderPosition = -1;
    std::vector<CameraViewMenuEntry> menu;

private:
    CKadivoDoc* doc_ = nullptr;
};

}  // namespace kadivo::test
