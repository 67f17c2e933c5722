#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kadivo {

class SettingsStore;

// What the command line asked for.
struct CommandLine {
    enum class FileMode { None = 0, NewFile = 1, NamedFile = 2 };
    FileMode fileMode = FileMode::None;
    std::string file;                       // the sequence named
    bool showSplash = true;
    std::optional<std::string> screenshot;  // --screenshot FILE
};

// kadivo [FILE.kdv] [--new] [--no-splash] [--screenshot FILE [FILE.kdv]]. Throws
// std::invalid_argument naming what it cannot read. A screenshot never shows the splash.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The "Startup"/"option" values.
enum class StartupOption { NewSequence = 0, LastSavedSequence = 1, DoNothing = 2 };

// The option the Preferences dialog shows: "Do Nothing" when none is stored.
StartupOption PreferencesStartupOption(const SettingsStore& settings);
// The option start-up acts on: "Last Saved Sequence" when none is stored.
StartupOption ActingStartupOption(const SettingsStore& settings);
void StoreStartupOption(SettingsStore& settings, StartupOption option);

// What the program does once its splash screen has closed.
struct StartupAction {
    enum class Kind { Nothing, OpenFile, NewSequence };
    Kind kind = Kind::Nothing;
    std::string file;
    friend bool operator==(const StartupAction&, const StartupAction&) = default;
};

// A file named on the command line wins over the option, and so does a new file asked for
// there; otherwise the option: the first recent sequence (when there is one), a new
// sequence, or nothing.
StartupAction ChooseStartupAction(const CommandLine& commandLine, StartupOption option,
                                  const std::vector<std::string>& recentSequences);

// The program's folder from the path of its executable: the path without its last
// component, or the path itself when it has no folder part.
std::string ProgramDirectory(const std::string& executablePath);

// Opens the splash's start-up action exactly once, whatever closes the splash first.
class SplashGate {
public:
    // True the first time only.
    bool Close() {
        const bool first = open_;
        open_ = false;
        return first;
    }
    bool IsOpen() const { return open_; }

private:
    bool open_ = true;
};

}  // namespace kadivo
