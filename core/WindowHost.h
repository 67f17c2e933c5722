#pragma once

#include "WindowState.h"

#include <list>

namespace kadivo {

// The windows open on one document.
class WindowHost {
public:
    virtual ~WindowHost() = default;

    // Opens a window for a saved or new window state; false when it cannot be created.
    virtual bool OpenWindow(const WindowState& state) = 0;
    virtual void CloseAllWindows() = 0;
    // The state of every window, in window order, as a save writes it.
    virtual std::list<WindowState> WindowStates() const = 0;
};

// Windows as records only, where nothing is shown: what was opened is what is saved.
class RecordWindowHost final : public WindowHost {
public:
    bool OpenWindow(const WindowState& state) override {
        records_.push_back(state);
        return true;
    }
    void CloseAllWindows() override { records_.clear(); }
    std::list<WindowState> WindowStates() const override { return records_; }

private:
    std::list<WindowState> records_;
};

}  // namespace kadivo
