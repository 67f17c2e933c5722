#include "CsmExporter.h"

#include "AppendFormat.h"
#include "CKadivoDoc.h"
#include "TextExports.h"

#include <algorithm>
#include <cctype>

namespace kadivo {

const CsmMarker CsmMarkerTable[43] = {
    {"LFHD", "Back Head", kSideLeft},         {"LBHD", "Front Head", kSideLeft},        {"RBHD", "Back Head", kSideRight},
    {"RFHD", "Front Head", kSideRight},       {"CLAV", "Top Chest", kSideNone},         {"STRN", "Center Chest", kSideNone},
    {"LFWT", "Front Waist", kSideLeft},       {"LBWT", "Back Waist", kSideLeft},        {"RBWT", "Front Waist", kSideRight},
    {"RFWT", "Back Waist", kSideRight},       {"C7", "Top Spine", kSideNone},           {"T10", "Middle Back", kSideNone},
    {"SACR", "Lower Back", kSideNone},        {"LKNE", "Outer Knee", kSideLeft},        {"LKNI", "Inner Knee", kSideLeft},
    {"LANK", "Outer Ankle", kSideLeft},       {"LHEL", "Heel", kSideLeft},              {"LMT5", "Outer Metatarsal", kSideLeft},
    {"LMTI", "Inner Metatarsal", kSideLeft},  {"LTOE", "Toe", kSideLeft},               {"RKNE", "Outer Knee", kSideRight},
    {"RKNI", "Inner Knee", kSideRight},       {"RANK", "Outer Ankle", kSideRight},      {"RHEL", "Heel", kSideRight},
    {"RMT5", "Outer Metatarsal", kSideRight}, {"RMTI", "Inner Metatarsal", kSideRight}, {"RTOE", "Toe", kSideRight},
    {"LSHO", "Sholder", kSideLeft},           {"LELB", "Outer Elbow", kSideLeft},       {"LILB", "Inner Elbow", kSideLeft},
    {"LWRE", "Wrist Stick End", kSideLeft},   {"LWRI", "Wrist Stick Base", kSideLeft},  {"LWRA", "Wrist Inner (Thumb)", kSideLeft},
    {"LWRB", "Wrist Outer", kSideLeft},       {"LFIN", "Hand", kSideLeft},              {"RSHO", "Sholder", kSideRight},
    {"RELB", "Outer Elbow", kSideRight},      {"RILB", "Inner Elbow", kSideRight},      {"RWRE", "Wrist Stick End", kSideRight},
    {"RWRI", "Wrist Stick Base", kSideRight}, {"RWRA", "Wrist Inner (Thumb)", kSideRight}, {"RWRB", "Wrist Outer", kSideRight},
    {"RFIN", "Hand", kSideRight},
};

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::vector<std::string> DefaultCsmMapping(const CKadivoDoc& doc) {
    std::vector<std::string> mapping;
    for (int p = 0; p < doc.pointCount; ++p) {
        const ModelPoint& point = doc.modelPoints[static_cast<std::size_t>(p)];
        const bool known = p < 43 && point.side == CsmMarkerTable[p].side &&
                           SameIgnoringCase(point.name, CsmMarkerTable[p].description);
        mapping.push_back(known ? CsmMarkerTable[p].label : "NOTDEF");
    }
    return mapping;
}

std::string CsmPointCell(const CKadivoDoc& doc, int point) {
    const ModelPoint& p = doc.modelPoints[static_cast<std::size_t>(point)];
    if (p.name.empty()) return "Point " + std::to_string(point + 1);
    switch (p.side) {
    case kSideRight: return "R. " + p.name;
    case kSideLeft: return "L " + p.name;
    default: return "N. " + p.name;
    }
}

std::string CsmExporter::Text(const CsmExportOptions& options, const std::string& path, const std::tm& now) const {
    std::string text;
    AppendFormat(text, "$Date %d/%d/%d\n$Time %d:%d:%d\n", now.tm_mon + 1, now.tm_mday, now.tm_year + 1900, now.tm_hour,
                 now.tm_min, now.tm_sec);
    text += "$Filename " + path + "\n";
    text += "$Actor " + options.actor + "\n\n";
    text += "$Comments " + options.comment + "\n\n";
    const int frames = doc_.worldFiltered.empty() ? 0 : doc_.worldFrameCount;
    AppendFormat(text, "$FirstFrame 1\n$LastFrame %d\n$Rate %2.6f\n\n$Order\n", doc_.worldFrameCount,
                 static_cast<double>(1.0f / doc_.framePeriod));
    for (int p = 0; p < doc_.pointCount; ++p)
        text += (p < static_cast<int>(options.mapping.size()) ? options.mapping[static_cast<std::size_t>(p)] : "NOTDEF") + " ";
    text += "\n";
    for (int f = 0; f < frames; ++f) {
        AppendFormat(text, "%d ", f + 1);
        for (int p = 0; p < doc_.pointCount; ++p) {
            const Point3& w = doc_.worldFiltered[f][p];
            AppendFormat(text, "%2.3f %2.3f %2.3f ", w.x, w.y, w.z);
        }
        text += "\n";
    }
    return text;
}

bool CsmExporter::Write(const CsmExportOptions& options, const std::string& path) const {
    if (!CheckFramePeriod(doc_)) return false;
    return WriteExportFile(doc_, path, Text(options, path, LocalTimeNow()), "Error creating the CSM file.");
}

}  // namespace kadivo
