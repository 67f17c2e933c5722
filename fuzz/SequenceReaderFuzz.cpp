// Feeds arbitrary bytes to the sequence file reader; a well-formed result is written and
// read again, and both images must agree.

#include "CKadivoDoc.h"
#include "HeadlessPrompts.h"
#include "SequenceFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kadivo::HeadlessPrompts ui;
    kadivo::CKadivoDoc doc(ui, kadivo::NoVideoSourceFactory());
    try {
        kadivo::ReadSequence(data, size, doc);
    } catch (const kadivo::FileFormatError&) {
        return 0;
    }
    const std::vector<std::uint8_t> written = kadivo::WriteSequence(doc);
    kadivo::CKadivoDoc again(ui, kadivo::NoVideoSourceFactory());
    kadivo::ReadSequence(written.data(), written.size(), again);
    if (kadivo::WriteSequence(again) != written) std::abort();
    return 0;
}
