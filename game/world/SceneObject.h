// A drawable node. Draw and Process walk the tree: the node itself (in a concrete class's
// override), then its first child, then its next sibling unless it is the last one.
#pragma once

#include "game/world/SceneNode.h"

#include <cstdint>

class SceneObject : public SceneNode {
  public:
    SceneObject() = default;
    explicit SceneObject(SceneNode* parent) : SceneNode(parent) {}
    ~SceneObject() override = default;

    virtual void Reserved() {}
    // Walks the children and the following siblings; returns true. A concrete Draw draws
    // itself first, then calls this.
    virtual bool Draw(float elapsed);
    virtual void Process();
    virtual void Hook4() = 0;
    virtual void Hook5() = 0;
    virtual void Hook6() = 0;
    // A class that owns an auxiliary object creates it here.
    virtual void LoadResources() = 0;

  protected:
    int32_t objectWord = 0;
};
