#pragma once

#include <string>
#include <vector>

namespace kadivo {
class CKadivoDoc;
}

namespace kadivo::cli {

extern const char* const kSyncUsage;

// kadivo-cli sync FILE.kdv [--audio|--flash X,Y,W,H] [--write OUT.kdv]: each view's lag
// behind the first, measured from the videos' sound (the default) or from a flash in a
// region of the pictures; a line a view, then the evidence. With --write, the sequence with
// those lags as its sync fractions (a view not measured keeps its own). Exit status 1 when
// a view could not be measured.
int RunSyncCommand(const std::vector<std::string>& args, CKadivoDoc& doc);

}  // namespace kadivo::cli
