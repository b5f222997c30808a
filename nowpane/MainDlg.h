// NowPane's main dialog: hosts the player control in remote mode, shows the player's
// now-playing pane, brings the player forward, and quits.
//
// Initialisation is a chain: create the host window over the placeholder, give the host the
// remote host object as its site, create the player control, take its IWMPPlayer4, enable
// "Go To Media Library" if the player is remote, keep its media and playlist collections.
// Each step runs only if all before it succeeded. Showing the now-playing view is attempted in
// every case (it does nothing without a player), and the quit is posted in every case.
#pragma once

#include "nowpane/AxHost.h"
#include "platform/media/Player.h"

#include <string>

// What the dialog needs of its window.
class DialogFrame {
  public:
    virtual ~DialogFrame() = default;
    // A control's rectangle in the dialog's client pixels; false for an unknown id.
    virtual bool controlRect(int id, RECT* rect) = 0;
    // A visible child host window over rect; the host with one reference, null on failure.
    virtual IAxWinHostWindow* createHostWindow(const RECT& rect) = 0;
    virtual void enableControl(int id, bool enable) = 0;
    virtual void endDialog(int result) = 0;
    // Posts the quit message to the dialog's thread.
    virtual void postQuit() = 0;
};

class CMainDlg {
  public:
    explicit CMainDlg(bool remote) : remote(remote) {}
    ~CMainDlg() { onDestroy(); }
    CMainDlg(const CMainDlg&) = delete;
    CMainDlg& operator=(const CMainDlg&) = delete;

    void onInitDialog(DialogFrame& frame);
    // The now-playing view (also button 215): setTaskPane("NowPlaying"), then the player
    // application's switchToPlayerApplication, each only if the previous call succeeded.
    HRESULT showNowPlaying();
    void onCommand(DialogFrame& frame, int id);
    // Releases the player's interfaces and the host.
    void onDestroy();

    // The result of the initialisation chain (steps 2 to 6).
    HRESULT initResult() const { return chain; }
    // Why the player control could not be created at all (not registered, or its registered
    // library does not load or has no class object), for the user; "" when it was created or
    // when it failed for another reason (such as no player to reach). Needs COM initialised.
    std::string controlProblem() const;
    IWMPPlayer4* player() const { return wmp; }

  private:
    bool remote;
    HRESULT chain = E_UNEXPECTED;
    HRESULT created = E_UNEXPECTED; // step 4's CreateControl
    IAxWinHostWindow* host = nullptr;
    IWMPPlayer4* wmp = nullptr;
    IWMPMediaCollection* media = nullptr;
    IWMPPlaylistCollection* playlists = nullptr;
};
