#include "ModelPropertiesTree.h"

#include <gtest/gtest.h>

namespace kadivo {
namespace {

ModelTable TwoPointModel() {
    ModelTable model = DefaultModelTable();
    model[0].name = "Knee";
    model[0].side = kSideLeft;
    model[0].linkedPoint = {1, 1, -1, 0, -1};
    model[0].segmentName[1] = "Shank";
    model[0].segmentParamA[1] = 0.433f;
    model[0].segmentParamB[1] = 0.0465f;
    model[1].name = "Ankle";
    return model;
}

TEST(ModelPropertiesTree, PointsSitUnderTheirSideWithSegmentsUntilTheFirstFreeSlot) {
    const std::vector<ModelTreeItem> tree = BuildModelTree(TwoPointModel(), 2);
    ASSERT_EQ(tree.size(), 3u);
    EXPECT_EQ(tree[0].text, "Right");
    EXPECT_EQ(tree[1].text, "Left");
    EXPECT_EQ(tree[2].text, "None");
    EXPECT_TRUE(tree[0].children.empty());
    ASSERT_EQ(tree[1].children.size(), 1u);
    const ModelTreeItem& knee = tree[1].children[0];
    EXPECT_EQ(knee.text, "Knee");
    EXPECT_EQ(knee.image, ModelTreeItem::kPointImage);
    ASSERT_EQ(knee.children.size(), 2u) << "slot 3 is after the free slot 2";
    const ModelTreeItem& shank = knee.children[1];
    EXPECT_EQ(shank.text, "Shank");
    EXPECT_EQ(shank.code, 0x10000u | 0x100000u);
    ASSERT_EQ(shank.children.size(), 2u);
    EXPECT_EQ(shank.children[0].text, "0.0465");
    EXPECT_EQ(shank.children[0].image, ModelTreeItem::kParamBImage);
    EXPECT_EQ(shank.children[1].text, "0.4330");
    EXPECT_EQ(shank.children[1].code, ModelTreeItem::Code(0, 1, ModelTreeItem::kParamA));
    EXPECT_EQ(tree[2].children.at(0).code, 1u);
    EXPECT_FALSE(CanEditModelItem(tree[1]));
    EXPECT_TRUE(CanEditModelItem(knee));
}

TEST(ModelPropertiesTree, EditsAreStoredAtOnce) {
    ModelTable model = TwoPointModel();
    ApplyModelItemEdit(model, 2, ModelTreeItem::Code(1, 0, ModelTreeItem::kPointName), "Toe");
    ApplyModelItemEdit(model, 2, ModelTreeItem::Code(0, 1, ModelTreeItem::kSegmentName), "Lower leg");
    ApplyModelItemEdit(model, 2, ModelTreeItem::Code(0, 1, ModelTreeItem::kParamA), "0.5");
    ApplyModelItemEdit(model, 2, ModelTreeItem::Code(0, 1, ModelTreeItem::kParamB), "heavy");
    EXPECT_EQ(model[1].name, "Toe");
    EXPECT_EQ(model[0].segmentName[1], "Lower leg");
    EXPECT_FLOAT_EQ(model[0].segmentParamA[1], 0.5f);
    EXPECT_EQ(model[0].segmentParamB[1], 0.0f) << "not a number";
    ApplyModelItemEdit(model, 2, ModelTreeItem::Code(5, 0, ModelTreeItem::kPointName), "beyond");
    EXPECT_EQ(model[5].name, "Point 6");
}

}  // namespace
}  // namespace kadivo
