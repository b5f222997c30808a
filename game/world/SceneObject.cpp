#include "game/world/SceneObject.h"

namespace {

SceneObject* asObject(SceneNode* n) {
    return dynamic_cast<SceneObject*>(n);
}

} // namespace

bool SceneObject::Draw(float elapsed) {
    if (SceneObject* child = asObject(FirstChild())) {
        child->Draw(elapsed);
    }
    if (!IsLastSibling()) {
        if (SceneObject* next = asObject(NextSibling())) {
            next->Draw(elapsed);
        }
    }
    return true;
}

void SceneObject::Process() {
    if (SceneObject* child = asObject(FirstChild())) {
        child->Process();
    }
    if (!IsLastSibling()) {
        if (SceneObject* next = asObject(NextSibling())) {
            next->Process();
        }
    }
}
