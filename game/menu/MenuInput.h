// What the window procedure tells the 3D menu: pointer moves and presses in window
// coordinates, button releases, the cursor handshake and F1.
#pragma once

class IMenuInput {
  public:
    virtual ~IMenuInput() = default;
    // Stores the pointer position (window pixels, y down) for the menu's hit tests.
    virtual void pointerTest(int x, int y) = 0;
    // A left-button press is waiting to be handled.
    virtual void setClicked() = 0;
    // The left button went up (knobs stop following the pointer).
    virtual void buttonReleased() = 0;
    // 0 arrow shown, 1 hand shown, 2 arrow requested, 3 hand requested.
    virtual int cursorState() const = 0;
    virtual void setCursorState(int state) = 0;
    // F1: open the menu on its main page.
    virtual void open() = 0;
};

// A menu that ignores everything and always wants the arrow.
class NullMenuInput : public IMenuInput {
  public:
    void pointerTest(int, int) override {}
    void setClicked() override {}
    void buttonReleased() override {}
    int cursorState() const override { return state; }
    void setCursorState(int s) override { state = s; }
    void open() override {}

  private:
    int state = 0;
};
