#pragma once

#include "WindowHost.h"

#include <vector>

namespace kadivo::test {

// Records the windows a document opens; `canOpen` false makes every window fail.
class FakeWindowHost : public WindowHost {
public:
    bool OpenWindow(const WindowState& state) override {
        opened.push_back(state);
        if (canOpen) open.push_back(state);
        return canOpen;
    }
    void CloseAllWindows() override {
        ++closeAllCount;
        open.clear();
    }
    std::list<WindowState> WindowStates() const override { return {open.begin(), open.end()}; }

    bool canOpen = true;
    std::vector<WindowState> opened;  // every request
    std::vector<WindowState> open;    // the windows open now
    int closeAllCount = 0;
};

}  // namespace kadivo::test
