#include "ModelPropertiesTree.h"

#include <cstdio>
#include <cstdlib>

namespace kadivo {

namespace {

std::string FormatParameter(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%2.4f", static_cast<double>(value));
    return text;
}

ModelTreeItem PointItem(const ModelPoint& point, int index) {
    ModelTreeItem item{point.name, ModelTreeItem::kPointImage, ModelTreeItem::Code(index, 0, ModelTreeItem::kPointName), {}};
    for (int slot = 0; slot < kSegmentSlots && point.linkedPoint[static_cast<std::size_t>(slot)] != -1; ++slot) {
        const auto s = static_cast<std::size_t>(slot);
        ModelTreeItem segment{point.segmentName[s], ModelTreeItem::kSegmentImage,
                              ModelTreeItem::Code(index, slot, ModelTreeItem::kSegmentName), {}};
        segment.children.push_back({FormatParameter(point.segmentParamB[s]), ModelTreeItem::kParamBImage,
                                    ModelTreeItem::Code(index, slot, ModelTreeItem::kParamB), {}});
        segment.children.push_back({FormatParameter(point.segmentParamA[s]), ModelTreeItem::kParamAImage,
                                    ModelTreeItem::Code(index, slot, ModelTreeItem::kParamA), {}});
        item.children.push_back(std::move(segment));
    }
    return item;
}

}  // namespace

std::vector<ModelTreeItem> BuildModelTree(const ModelTable& model, int pointCount) {
    std::vector<ModelTreeItem> sides;
    for (int side : {kSideRight, kSideLeft, kSideNone}) sides.push_back({SideName(side), ModelTreeItem::kSideImage, 0, {}});
    for (int p = 0; p < pointCount && p < kModelTableSize; ++p) {
        const ModelPoint& point = model[static_cast<std::size_t>(p)];
        const int side = point.side == kSideRight || point.side == kSideLeft ? point.side : kSideNone;
        sides[static_cast<std::size_t>(side)].children.push_back(PointItem(point, p));
    }
    return sides;
}

void ApplyModelItemEdit(ModelTable& model, int pointCount, std::uint32_t code, const std::string& text) {
    const int point = static_cast<int>(code & 0xFFFFu);
    const auto slot = static_cast<std::size_t>((code >> 16) & 0xFu);
    const auto kind = static_cast<ModelTreeItem::Kind>((code >> 20) & 0xFu);
    if (point >= pointCount || point >= kModelTableSize || slot >= kSegmentSlots) return;
    ModelPoint& target = model[static_cast<std::size_t>(point)];
    switch (kind) {
    case ModelTreeItem::kPointName: target.name = text; break;
    case ModelTreeItem::kSegmentName: target.segmentName[slot] = text; break;
    case ModelTreeItem::kParamB: target.segmentParamB[slot] = static_cast<float>(std::atof(text.c_str())); break;
    case ModelTreeItem::kParamA: target.segmentParamA[slot] = static_cast<float>(std::atof(text.c_str())); break;
    }
}

}  // namespace kadivo
