#include "RecoverCommand.h"

#include "CKadivoDoc.h"
#include "DataDirectory.h"
#include "FileIo.h"
#include "HeadlessPrompts.h"
#include "JournalRecovery.h"
#include "SequenceFile.h"
#include "VideoLinks.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace kadivo::cli {

const char* const kRecoverUsage =
    "       kadivo-cli recover SEQUENCE.kdv OUT.kdv\n"
    "       kadivo-cli recover --list\n";

namespace {

std::string Absolute(const std::string& path) {
    return std::filesystem::absolute(path).lexically_normal().string();
}

int List() {
    const std::string folder = JournalDirectory();
    const std::vector<JournalListing> journals = ListJournals(folder);
    if (journals.empty()) std::printf("No journals of unsaved changes in %s\n", folder.c_str());
    for (const JournalListing& journal : journals) {
        const std::string& sequence = journal.header.sequencePath;
        std::printf("%s\t%s\t%d edits%s\t%s\n", journal.path.c_str(), sequence.empty() ? "Untitled" : sequence.c_str(),
                    journal.edits, journal.edits > 0 ? (", the last at " + JournalTimeText(journal.lastEdit)).c_str() : "",
                    journal.inUse ? "being written" : "left by a program that ended");
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// The journal to replay: the newest one no program writes any more, else the newest of all.
const JournalListing* JournalOf(const std::vector<JournalListing>& journals, const std::string& sequence) {
    const auto better = [](const JournalListing& a, const JournalListing& b) {
        return a.inUse != b.inUse ? !a.inUse : a.lastEdit >= b.lastEdit;
    };
    const JournalListing* chosen = nullptr;
    for (const JournalListing& journal : journals) {
        if (journal.header.sequencePath.empty() || Absolute(journal.header.sequencePath) != sequence || journal.edits == 0) continue;
        if (!chosen || better(journal, *chosen)) chosen = &journal;
    }
    return chosen;
}

// The recovered bytes are what a save to the sequence's place writes; written elsewhere, its
// video links are made for the new place.
ByteBlock ForPlace(const ByteBlock& bytes, const std::string& sequence, const std::string& out) {
    if (std::filesystem::path(sequence).parent_path() == std::filesystem::path(out).parent_path()) return bytes;
    HeadlessPrompts prompts;
    CKadivoDoc doc(prompts, NoVideoSourceFactory());
    ReadSequence(bytes.data(), bytes.size(), doc);
    for (CameraView& view : doc.views) {
        for (std::string* name : {&view.frameStore.videoFileName, &view.frameStore.calibrationVideoName}) {
            if (name->empty()) continue;
            const std::string found = FindVideo(*name, sequence);
            *name = found.empty() ? UnfoundVideoPath(*name, sequence) : found;
        }
    }
    return WriteSequence(doc, out);
}

}  // namespace

int RunRecoverCommand(const std::vector<std::string>& args) {
    if (args.size() == 1 && args[0] == "--list") return List();
    if (args.size() != 2) throw std::invalid_argument("recover takes a sequence and an output file, or --list");
    const std::string sequence = Absolute(args[0]), out = Absolute(args[1]);
    if (out == sequence) throw std::invalid_argument("recover writes to another file than the sequence");
    const std::vector<JournalListing> journals = ListJournals(JournalDirectory());
    const JournalListing* journal = JournalOf(journals, sequence);
    if (!journal) {
        std::fprintf(stderr, "kadivo-cli: no unsaved changes to \"%s\" were kept\n", args[0].c_str());
        return 1;
    }
    const RecoveredSequence recovered = RecoverFromJournal(journal->path);
    WriteFileAtomically(out, ForPlace(recovered.bytes, sequence, out));
    std::printf("Replayed %d edits made from %s to %s into %s\n", recovered.edits, JournalTimeText(recovered.firstEdit).c_str(),
                JournalTimeText(recovered.lastEdit).c_str(), args[1].c_str());
    if (recovered.cutOff) std::printf("The journal's end was cut off; the edits before it were replayed.\n");
    if (journal->inUse) std::printf("A running Kadivo still writes this journal.\n");
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace kadivo::cli
