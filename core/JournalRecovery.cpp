#include "JournalRecovery.h"

#include "Crc32.h"
#include "FileIo.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>

namespace kadivo {

namespace {

// A running program holds its journal locked; the lock goes with the program however it ends.
bool WrittenByARunningProgram(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool locked = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return locked;
}

}  // namespace

std::vector<JournalListing> ListJournals(const std::string& folder) {
    std::vector<JournalListing> journals;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() != kJournalExtension) continue;
        try {
            const JournalContents contents = ReadJournal(ReadWholeFile(entry.path().string()));
            const int compacted = contents.edits.empty() ? 0 : static_cast<int>(contents.header.compactedEdits);
            JournalListing listing{entry.path().string(), contents.header, WrittenByARunningProgram(entry.path().string()),
                                   static_cast<int>(contents.edits.size()) + std::max(compacted - 1, 0), 0};
            if (!contents.edits.empty()) listing.lastEdit = EditTime(contents.edits.back());
            journals.push_back(std::move(listing));
        } catch (const std::exception&) {
            // Not a journal, or one removed while the folder was read.
        }
    }
    std::sort(journals.begin(), journals.end(), [](const JournalListing& a, const JournalListing& b) {
        return a.header.started != b.header.started ? a.header.started < b.header.started : a.path < b.path;
    });
    return journals;
}

std::vector<JournalListing> LeftJournalsOf(const std::vector<JournalListing>& journals, const std::string& sequencePath) {
    std::vector<JournalListing> left;
    for (const JournalListing& journal : journals)
        if (!journal.inUse && journal.header.sequencePath == sequencePath) left.push_back(journal);
    return left;
}

RecoveredSequence RecoverFromJournal(const std::string& journalPath) {
    const JournalContents contents = ReadJournal(ReadWholeFile(journalPath));
    const JournalHeader& header = contents.header;
    SequenceImage image;
    if (header.hasBase) {
        ByteBlock base;
        try {
            base = ReadWholeFile(header.sequencePath);
        } catch (const FileIoError& error) {
            throw JournalRefused("The unsaved changes to \"" + header.sequencePath +
                                 "\" need the file as it was saved, which cannot be read: " + error.what());
        }
        if (base.size() != header.baseSize || Crc32(base.data(), base.size()) != header.baseCrc)
            throw JournalRefused("The unsaved changes to \"" + header.sequencePath +
                                 "\" were made to the file as it was before it changed; they were not applied.");
        image = ImageOfFileBytes(base, header.sequencePath);
    }
    RecoveredSequence recovered;
    recovered.header = header;
    recovered.cutOff = contents.cutOff;
    for (const ByteBlock& edit : contents.edits) {
        try {
            ApplyEdit(edit, image);
        } catch (const FileFormatError&) {
            // A whole frame whose parts do not fit: the journal is damaged from here on.
            recovered.cutOff = true;
            break;
        }
        if (recovered.edits++ == 0) recovered.firstEdit = EditTime(edit);
        recovered.lastEdit = EditTime(edit);
    }
    if (header.compactedEdits > 0 && recovered.edits > 0) {
        recovered.edits += static_cast<int>(header.compactedEdits) - 1;
        recovered.firstEdit = header.firstCompactedEdit;
    }
    if (image.views.empty()) throw FileFormatError("The journal holds no sequence to recover");
    recovered.bytes = image.Joined();
    return recovered;
}

std::string JournalTimeText(double secondsSince1970) {
    const auto seconds = static_cast<std::time_t>(secondsSince1970);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

}  // namespace kadivo
