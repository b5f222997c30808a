// Runs a dialog template modally: lays its controls out in pixels, keeps their enabled state,
// hands the dialog code a DialogFrame, and pumps the thread's messages until the dialog ends
// or the quit message arrives.
//
// The dialog is laid out but not drawn: NowPane's dialog ends in the same moment it starts, so
// nothing of it would be seen anyway.
#pragma once

#include "nowpane/MainDlg.h"
#include "nowpane/Resources.h"

#include <map>

class ModalDialog : public DialogFrame {
  public:
    explicit ModalDialog(const nowpane::DialogTemplate& dialog);

    // Initialises dlg, pumps until the end, destroys dlg's state. Returns the code given to
    // endDialog, or the quit message's code.
    int run(CMainDlg& dlg);

    bool enabled(int id) const;

    bool controlRect(int id, RECT* rect) override;
    IAxWinHostWindow* createHostWindow(const RECT& rect) override;
    void enableControl(int id, bool enable) override;
    void endDialog(int result) override;
    void postQuit() override;

  private:
    struct Control {
        RECT rect;
        bool enabled;
    };
    std::map<int, Control> controls;
    bool ended = false;
    int result = 0;
};
