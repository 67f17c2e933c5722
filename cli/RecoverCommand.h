#pragma once

#include <string>
#include <vector>

namespace kadivo::cli {

extern const char* const kRecoverUsage;

// kadivo-cli recover SEQUENCE.kdv OUT.kdv: the sequence with the unsaved edits its journal
// kept, written to OUT; neither the sequence nor the journal is touched. --list: the journals
// and their sequences.
int RunRecoverCommand(const std::vector<std::string>& args);

}  // namespace kadivo::cli
