#pragma once

#include "JournalFile.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace kadivo {

// A journal that cannot be applied: it belongs to another version of its file, or that file
// cannot be read. The message says which; the journal is left as it is.
class JournalRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A journal in the journal folder.
struct JournalListing {
    std::string path;
    JournalHeader header;
    bool inUse = false;  // the program that writes it still runs
    int edits = 0;
    double lastEdit = 0;  // seconds since 1970; 0 without edits
};

// Every journal in `folder`, oldest first; files that are no journals are passed over.
std::vector<JournalListing> ListJournals(const std::string& folder);
// The journals of the sequence at `sequencePath` that no running program writes, newest
// last; `sequencePath` empty: those of sequences never saved.
std::vector<JournalListing> LeftJournalsOf(const std::vector<JournalListing>& journals, const std::string& sequencePath);

struct RecoveredSequence {
    JournalHeader header;
    ByteBlock bytes;  // what a save at the last whole edit would have written
    int edits = 0;
    double firstEdit = 0, lastEdit = 0;
    bool cutOff = false;  // the journal's end was damaged and left out
};

// Replays the journal at `journalPath` onto the file it belongs to. Throws JournalRefused,
// FileIoError, or FileFormatError for a journal or file that cannot be read.
RecoveredSequence RecoverFromJournal(const std::string& journalPath);

// "2026-12-10 14:03:07", local time.
std::string JournalTimeText(double secondsSince1970);

}  // namespace kadivo
