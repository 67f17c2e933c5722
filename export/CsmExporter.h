#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;

struct CsmMarker {
    const char* label;
    const char* description;
    int side;
};

// The 43 marker labels the default mapping knows, in their expected model order.
extern const CsmMarker CsmMarkerTable[43];

// What "CSM Export Properties" holds: a label per model point, the actor and a comment.
struct CsmExportOptions {
    std::vector<std::string> mapping;
    std::string actor;
    std::string comment;
};

// Point k gets the label of table entry k when its side and name (case aside) match the
// entry, else "NOTDEF"; points beyond the table get "NOTDEF" too.
std::vector<std::string> DefaultCsmMapping(const CKadivoDoc& doc);
// The "Point Name" cell of the dialog: "R. %s", "L %s" or "N. %s", or "Point %d".
std::string CsmPointCell(const CKadivoDoc& doc, int point);

// Writes the smoothed marker trajectories, every frame of the world data (as many as
// "$LastFrame" announces).
class CsmExporter {
public:
    explicit CsmExporter(CKadivoDoc& doc) : doc_(doc) {}
    std::string Text(const CsmExportOptions& options, const std::string& path, const std::tm& now) const;
    // Writes `path`; shows "Error creating the CSM file." when it cannot be created.
    bool Write(const CsmExportOptions& options, const std::string& path) const;

private:
    CKadivoDoc& doc_;
};

}  // namespace kadivo
