#pragma once

#include <string>

namespace kadivo {

// Files to remove when a signal (SIGINT, SIGTERM, SIGHUP) ends the program before they are
// renamed into place or removed as usual. The handler is installed on first use, for signals
// whose action is still the default, and then ends the program as the signal would have.
class RemovedOnSignal {
public:
    explicit RemovedOnSignal(const std::string& path);
    ~RemovedOnSignal();
    RemovedOnSignal(const RemovedOnSignal&) = delete;
    RemovedOnSignal& operator=(const RemovedOnSignal&) = delete;

private:
    int slot_;  // −1 when every slot was taken: the file is then not watched
};

}  // namespace kadivo
