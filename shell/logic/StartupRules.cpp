#include "StartupRules.h"

#include "SettingsValues.h"

#include <stdexcept>

namespace kadivo {

namespace {

constexpr const char* kStartupSection = "Startup";
constexpr const char* kStartupValue = "option";

StartupOption OptionOr(const SettingsStore& settings, StartupOption absent) {
    const int value = GetInt(settings, kStartupSection, kStartupValue, static_cast<int>(absent));
    if (value < 0 || value > 2) return absent;
    return static_cast<StartupOption>(value);
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--new") {
            line.fileMode = CommandLine::FileMode::NewFile;
        } else if (argument == "--no-splash") {
            line.showSplash = false;
        } else if (argument == "--screenshot") {
            if (i + 1 >= arguments.size()) throw std::invalid_argument("--screenshot needs the file to write");
            line.screenshot = arguments[++i];
            line.showSplash = false;
        } else if (!argument.empty() && argument[0] == '-') {
            throw std::invalid_argument("unknown option " + argument);
        } else if (line.fileMode == CommandLine::FileMode::NamedFile) {
            throw std::invalid_argument("name one sequence file");
        } else {
            line.fileMode = CommandLine::FileMode::NamedFile;
            line.file = argument;
        }
    }
    return line;
}

StartupOption PreferencesStartupOption(const SettingsStore& settings) {
    return OptionOr(settings, StartupOption::DoNothing);
}

StartupOption ActingStartupOption(const SettingsStore& settings) {
    return OptionOr(settings, StartupOption::LastSavedSequence);
}

void StoreStartupOption(SettingsStore& settings, StartupOption option) {
    SetInt(settings, kStartupSection, kStartupValue, static_cast<int>(option));
}

StartupAction ChooseStartupAction(const CommandLine& commandLine, StartupOption option,
                                  const std::vector<std::string>& recentSequences) {
    using Kind = StartupAction::Kind;
    if (commandLine.fileMode == CommandLine::FileMode::NamedFile && !commandLine.file.empty())
        return {Kind::OpenFile, commandLine.file};
    if (commandLine.fileMode == CommandLine::FileMode::NewFile) return {Kind::NewSequence, {}};
    if (option == StartupOption::LastSavedSequence)
        return recentSequences.empty() ? StartupAction{} : StartupAction{Kind::OpenFile, recentSequences.front()};
    if (option == StartupOption::NewSequence) return {Kind::NewSequence, {}};
    return {};
}

std::string ProgramDirectory(const std::string& executablePath) {
    const std::size_t slash = executablePath.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return executablePath;
    return executablePath.substr(0, slash);
}

}  // namespace kadivo
