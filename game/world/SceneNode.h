// A named node of an owned tree: parent, first child and a circular doubly linked ring of
// siblings (the first child's previous sibling is the last child). A node owns its children
// and destroys them with itself.
#pragma once

class SceneNode {
  public:
    SceneNode();
    // Links the new node under parent at once.
    explicit SceneNode(SceneNode* parent);
    // Unlinks, writes "Destructor: <name>!" to standard output, then destroys every child.
    virtual ~SceneNode();
    SceneNode(const SceneNode&) = delete;
    SceneNode& operator=(const SceneNode&) = delete;

    // Moves this node to the end of newParent's children.
    void LinkUnder(SceneNode* newParent);
    // Moves child to the end of this node's children.
    void AddChild(SceneNode* child);
    // Takes the node out of its sibling ring (a ring of one afterwards). The parent link is
    // left as it was until the next LinkUnder, so a node unlinked and not linked again must
    // go before its old parent does.
    void Unlink();

    bool HasParentNode() const { return parent != nullptr; }
    bool HasChildren() const { return firstChild != nullptr; }
    bool IsFirstSibling() const;
    bool IsLastSibling() const;
    // 1 without children, else the first child's depth plus one.
    int ChainDepth() const;

    SceneNode* Parent() const { return parent; }
    SceneNode* FirstChild() const { return firstChild; }
    SceneNode* PrevSibling() const { return prevSibling; }
    SceneNode* NextSibling() const { return nextSibling; }

    char name[100] = {};

  private:
    SceneNode* parent = nullptr;
    SceneNode* firstChild = nullptr;
    SceneNode* prevSibling = this;
    SceneNode* nextSibling = this;
};
