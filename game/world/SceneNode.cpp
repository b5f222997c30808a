#include "game/world/SceneNode.h"

#include <cstdio>

SceneNode::SceneNode() = default;

SceneNode::SceneNode(SceneNode* newParent) {
    LinkUnder(newParent);
}

SceneNode::~SceneNode() {
    if (parent != nullptr) {
        Unlink();
    }
    std::printf("Destructor: %s!\n", name);
    while (firstChild != nullptr) {
        delete firstChild; // its destructor unlinks it
    }
}

void SceneNode::LinkUnder(SceneNode* newParent) {
    if (newParent == nullptr || newParent == this) {
        return;
    }
    newParent->AddChild(this);
}

void SceneNode::AddChild(SceneNode* child) {
    if (child == nullptr || child == this) {
        return;
    }
    if (child->parent != nullptr) {
        child->Unlink();
    }
    child->parent = this;
    if (firstChild == nullptr) {
        firstChild = child;
        return;
    }
    SceneNode* last = firstChild->prevSibling;
    child->prevSibling = last;
    child->nextSibling = firstChild;
    last->nextSibling = child;
    firstChild->prevSibling = child;
}

void SceneNode::Unlink() {
    if (parent != nullptr && parent->firstChild == this) {
        parent->firstChild = nextSibling != this ? nextSibling : nullptr;
    }
    prevSibling->nextSibling = nextSibling;
    nextSibling->prevSibling = prevSibling;
    prevSibling = this;
    nextSibling = this;
}

bool SceneNode::IsFirstSibling() const {
    return parent != nullptr && parent->firstChild == this;
}

bool SceneNode::IsLastSibling() const {
    return parent == nullptr || parent->firstChild == nullptr ||
           parent->firstChild->prevSibling == this;
}

int SceneNode::ChainDepth() const {
    return firstChild == nullptr ? 1 : firstChild->ChainDepth() + 1;
}
