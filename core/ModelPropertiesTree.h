#pragma once

#include "ModelPoint.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kadivo {

// The tree of the "Model Properties" dialog: sides, their points, the points' segments and
// each segment's two parameters. The dialog shows it and hands label edits back here.
struct ModelTreeItem {
    enum Image : int { kSideImage = 0, kPointImage = 1, kSegmentImage = 2, kParamAImage = 3, kParamBImage = 4 };
    enum Kind : std::uint32_t { kPointName = 0, kSegmentName = 1, kParamB = 2, kParamA = 3 };

    std::string text;
    int image = kSideImage;
    std::uint32_t code = 0;  // point in bits 0..15, slot in bits 16..19, kind in bits 20..23
    std::vector<ModelTreeItem> children;

    static std::uint32_t Code(int point, int slot, Kind kind) {
        return (static_cast<std::uint32_t>(point) & 0xFFFFu) | ((static_cast<std::uint32_t>(slot) & 0xFu) << 16) |
               ((static_cast<std::uint32_t>(kind) & 0xFu) << 20);
    }
};

// "Right", "Left" and "None", each with the points of that side.
std::vector<ModelTreeItem> BuildModelTree(const ModelTable& model, int pointCount);

// The side items cannot be edited.
inline bool CanEditModelItem(const ModelTreeItem& item) { return item.image != ModelTreeItem::kSideImage; }

// Stores an edited label at once: names as typed, parameters as their decimal value
// (text that is not a number gives 0.0).
void ApplyModelItemEdit(ModelTable& model, int pointCount, std::uint32_t code, const std::string& text);

}  // namespace kadivo
