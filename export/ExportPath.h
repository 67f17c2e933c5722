#pragma once

#include <optional>
#include <string>

namespace kadivo {

class CKadivoDoc;

// The save step every export shares: the document's path with its last four characters
// (".kdv") replaced by `.extension` is proposed; an existing file is replaced only after
// "Overwrite exsisting File ?" is answered Yes. Nothing when the user gives up.
std::optional<std::string> ChooseExportPath(CKadivoDoc& doc, const std::string& extension, const std::string& filter);

// The filters of the export file boxes.
inline constexpr const char* kTextFilter = "Text File (*.txt)|*.txt|All Files (*.*)|*.*||";
inline constexpr const char* kBvhFilter = "BVH File (*.bvh)|*.bvh|All Files (*.*)|*.*||";
inline constexpr const char* kCsmFilter = "CSM File (*.csm)|*.csm|All Files (*.*)|*.*||";
inline constexpr const char* kC3dFilter = "C3D File (*.c3d)|*.c3d|All Files (*.*)|*.*||";
inline constexpr const char* kTrcFilter = "TRC Marker File (*.trc)|*.trc|All Files (*.*)|*.*||";
inline constexpr const char* kMotFilter = "MOT Motion File (*.mot)|*.mot|All Files (*.*)|*.*||";
inline constexpr const char* kDltCoefficientsFilter = "DLT Coefficients (*.csv)|*.csv|All Files (*.*)|*.*||";

}  // namespace kadivo
