// Feeds arbitrary bytes to the journal's reader and to the replay of an edit: each either
// reads, or throws its own error; a replayed image is read as a sequence, which may refuse it
// with its own error too.

#include "CKadivoDoc.h"
#include "HeadlessPrompts.h"
#include "JournalFile.h"
#include "SequenceFile.h"

#include <cstdint>
#include <cstdlib>

namespace {

void ReadReplayed(const kadivo::SequenceImage& image) {
    if (image.views.empty()) return;
    const kadivo::ByteBlock bytes = image.Joined();
    kadivo::HeadlessPrompts prompts;
    kadivo::CKadivoDoc doc(prompts, kadivo::NoVideoSourceFactory());
    try {
        kadivo::ReadSequence(bytes.data(), bytes.size(), doc);
    } catch (const kadivo::FileFormatError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kadivo::ByteBlock bytes(data, data + size);
    // A whole journal: its frames are checked, then replayed onto an empty image.
    try {
        const kadivo::JournalContents contents = kadivo::ReadJournal(bytes);
        kadivo::SequenceImage image;
        for (const kadivo::ByteBlock& edit : contents.edits) {
            const kadivo::SequenceImage before = image;
            try {
                kadivo::ApplyEdit(edit, image);
            } catch (const kadivo::FileFormatError&) {
                // An edit that does not fit changes nothing.
                if (!(image == before)) std::abort();
                break;
            }
        }
        ReadReplayed(image);
    } catch (const kadivo::FileFormatError&) {
    }
    // The bytes as one edit's payload, past the frame checks a mutation rarely passes.
    kadivo::SequenceImage image;
    try {
        kadivo::ApplyEdit(bytes, image);
        ReadReplayed(image);
    } catch (const kadivo::FileFormatError&) {
        if (!(image == kadivo::SequenceImage{})) std::abort();
    }
    return 0;
}
