#include "game/world/SceneActor.h"
#include "game/world/SceneObject.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> drawn;

class Named : public SceneObject {
  public:
    explicit Named(const char* n, SceneNode* parent = nullptr) {
        std::strncpy(name, n, sizeof name - 1);
        if (parent != nullptr) {
            LinkUnder(parent);
        }
    }
    bool Draw(float elapsed) override {
        drawn.push_back(name);
        return SceneObject::Draw(elapsed);
    }
    void Hook4() override {}
    void Hook5() override {}
    void Hook6() override {}
    void LoadResources() override {}
};

TEST(SceneNode, ANodeAlone) {
    Named a("a");
    EXPECT_FALSE(a.IsFirstSibling());
    EXPECT_TRUE(a.IsLastSibling());
    EXPECT_EQ(a.ChainDepth(), 1);
    EXPECT_EQ(a.NextSibling(), &a);
    EXPECT_EQ(a.PrevSibling(), &a);
    EXPECT_FALSE(a.HasParentNode());
    EXPECT_FALSE(a.HasChildren());
}

TEST(SceneNode, ChildrenFormARingInOrder) {
    Named root("root");
    Named* a = new Named("A", &root);
    Named* b = new Named("B");
    root.AddChild(b);
    Named* c = new Named("C", &root);
    EXPECT_EQ(root.FirstChild(), a);
    EXPECT_EQ(a->PrevSibling(), c);
    EXPECT_EQ(c->NextSibling(), a);
    EXPECT_EQ(a->NextSibling(), b);
    EXPECT_TRUE(a->IsFirstSibling());
    EXPECT_TRUE(c->IsLastSibling());
    EXPECT_FALSE(b->IsLastSibling());
    EXPECT_EQ(root.ChainDepth(), 2);
    new Named("A1", a);
    EXPECT_EQ(root.ChainDepth(), 3);
}

TEST(SceneNode, UnlinkMovesTheFirstChildAndKeepsTheParentLink) {
    Named root("root");
    Named* a = new Named("A", &root);
    Named* b = new Named("B", &root);
    Named* c = new Named("C", &root);
    a->Unlink();
    EXPECT_EQ(root.FirstChild(), b);
    EXPECT_EQ(b->PrevSibling(), c);
    EXPECT_EQ(a->Parent(), &root); // until linked again
    EXPECT_EQ(a->NextSibling(), a);
    a->LinkUnder(b); // relinking takes it elsewhere
    EXPECT_EQ(a->Parent(), b);
    EXPECT_EQ(b->FirstChild(), a);
    c->Unlink();
    b->Unlink();
    EXPECT_EQ(root.FirstChild(), nullptr);
    delete b; // with A below it
    delete c;
}

TEST(SceneObject, DrawWalksEachNodeOnceWithoutWrapping) {
    Named root("root");
    Named* a = new Named("A", &root);
    new Named("A1", a);
    new Named("B", &root);
    drawn.clear();
    EXPECT_TRUE(root.Draw(0.016f));
    std::vector<std::string> expected = {"root", "A", "A1", "B"};
    EXPECT_EQ(drawn, expected);
}

TEST(SceneNode, DestroyingASubtreeDestroysAndLogsEveryNodeOnce) {
    Named* root = new Named("root");
    Named* a = new Named("A", root);
    new Named("A1", a);
    new Named("A2", a);
    new Named("B", root);
    testing::internal::CaptureStdout();
    delete root;
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Destructor: root!\nDestructor: A!\nDestructor: A1!\nDestructor: A2!\n"
                   "Destructor: B!\n");
}

TEST(SceneActor, PlacementIsStoredInArgumentOrder) {
    SceneActor actor;
    actor.SetPosition(0, -25, 800);
    actor.SetRotation(90, 0, 1, 0);
    EXPECT_EQ(actor.position[1], -25.0f);
    EXPECT_EQ(actor.position[2], 800.0f);
    EXPECT_EQ(actor.rotationAngle, 90.0f);
    EXPECT_EQ(actor.rotationAxis[1], 1.0f);
    EXPECT_TRUE(actor.Draw(0.1f));
}

} // namespace
