// NowPane's dialog: its resources, the remote host object, and the initialisation chain with a
// host and a control that fail at each step in turn.
#include "nowpane/MainDlg.h"
#include "nowpane/ModalDialog.h"
#include "nowpane/RemoteHost.h"
#include "nowpane/Resources.h"
#include "platform/com/Com.h"
#include "platform/registry/Registry.h"
#include "tests/nowpane/FakeControl.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <cstring>

using Step = FakeControl::Step;

namespace {

// The dialog's window, recording what the dialog asks of it.
class RecordingFrame : public DialogFrame {
  public:
    explicit RecordingFrame(FakeControl::Plan p) : plan(p) {}
    bool controlRect(int id, RECT* rect) override {
        placeholderAsked = id == nowpane::IDC_PLAYER_PLACEHOLDER;
        *rect = nowpane::dialogUnitsToPixels(3, 0, 179, 113);
        return true;
    }
    IAxWinHostWindow* createHostWindow(const RECT&) override {
        log.steps.push_back(Step::CreateHostWindow);
        if (plan.fails(Step::CreateHostWindow)) {
            return nullptr;
        }
        host = new FakeHost(plan, log);
        return host;
    }
    void enableControl(int id, bool enable) override {
        if (id == nowpane::IDC_GOTO_LIBRARY) {
            button215 = enable ? 1 : 0;
        }
    }
    void endDialog(int result) override { ended = result; }
    void postQuit() override { ++quits; }

    FakeControl::Plan plan;
    CallLog log;
    FakeHost* host = nullptr;
    bool placeholderAsked = false;
    int button215 = -1; // untouched
    int ended = 0;
    int quits = 0;
};

} // namespace

TEST(NowPaneResources, DialogTextsIdsAndLayout) {
    const nowpane::DialogTemplate& d = nowpane::mainDialog();
    EXPECT_EQ(d.id, 101);
    EXPECT_STREQ(d.title, "Media Library ");
    EXPECT_EQ(d.cx, 187);
    EXPECT_EQ(d.cy, 135);
    EXPECT_STREQ(d.font, "MS Shell Dlg");
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.menu, 201);
    ASSERT_EQ(d.controls.size(), 3u);
    using K = nowpane::DialogControl::Kind;
    struct Want {
        int id;
        K kind;
        const char* text;
        int x, y, cx, cy;
    } want[] = {{211, K::StaticFrame, "", 3, 0, 179, 113},
                {215, K::PushButton, "Go To Media Library", 3, 113, 74, 14},
                {1, K::DefaultPushButton, "Close", 89, 114, 50, 14}};
    for (size_t i = 0; i < 3; ++i) {
        const auto& c = d.controls[i];
        EXPECT_EQ(c.id, want[i].id);
        EXPECT_EQ(c.kind, want[i].kind);
        EXPECT_STREQ(c.text, want[i].text);
        EXPECT_EQ(c.x, want[i].x);
        EXPECT_EQ(c.y, want[i].y);
        EXPECT_EQ(c.cx, want[i].cx);
        EXPECT_EQ(c.cy, want[i].cy);
    }
    EXPECT_STREQ(nowpane::loadString(100), "LibraryDesk");
    EXPECT_EQ(nowpane::loadString(101), nullptr);
    // 8-point dialog units: a quarter and an eighth of a 6 x 13 pixel character cell.
    RECT r = nowpane::dialogUnitsToPixels(3, 0, 179, 113);
    EXPECT_EQ(r.left, 5); // 4.5 rounds up
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 269);
    EXPECT_EQ(r.bottom - r.top, 184);
}

TEST(NowPaneRemoteHost, AnswersAsTheRemoteLibraryDesk) {
    CRemoteHost* host = CRemoteHost::create();
    ASSERT_NE(host, nullptr);
    BSTR text = nullptr;
    ASSERT_EQ(host->GetServiceType(&text), S_OK);
    EXPECT_EQ(plat::utf8FromBstr(text), "Remote");
    SysFreeString(text);
    ASSERT_EQ(host->GetApplicationName(&text), S_OK);
    EXPECT_EQ(plat::utf8FromBstr(text), "LibraryDesk");
    SysFreeString(text);

    BSTR name = reinterpret_cast<BSTR>(1);
    IDispatch* object = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(host->GetScriptableObject(&name, &object), E_NOTIMPL);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(host->GetCustomUIMode(&text), E_NOTIMPL);
    EXPECT_EQ(host->GetServiceType(nullptr), E_POINTER);

    // Any service request is answered by its own QueryInterface.
    IWMPRemoteMediaServices* services = nullptr;
    EXPECT_EQ(host->QueryService(IID_IObjectWithSite, IID_IWMPRemoteMediaServices,
                                 reinterpret_cast<void**>(&services)),
              S_OK);
    ASSERT_NE(services, nullptr);
    services->Release();
    IObjectWithSite* notOffered = nullptr;
    EXPECT_EQ(host->QueryService(IID_IWMPRemoteMediaServices, IID_IObjectWithSite,
                                 reinterpret_cast<void**>(&notOffered)),
              E_NOINTERFACE);
    EXPECT_EQ(host->Release(), 0u);
}

class NowPaneChain : public ::testing::TestWithParam<Step> {};

TEST_P(NowPaneChain, EachStepRunsOnlyAfterTheOthersSucceededAndTheQuitIsAlwaysPosted) {
    Step failing = GetParam();
    RecordingFrame frame(FakeControl::Plan{failing});
    {
        CMainDlg dlg(true);
        dlg.onInitDialog(frame);
        EXPECT_EQ(frame.quits, 1);
        EXPECT_TRUE(frame.placeholderAsked);

        // Every step before the failing one ran, none after it (the now-playing view being
        // attempted whenever a player interface exists).
        std::vector<Step> expected = FakeControl::stepsUpTo(failing);
        EXPECT_EQ(frame.log.steps, expected);
        bool chainOk = failing > Step::PlaylistCollection;
        EXPECT_EQ(SUCCEEDED(dlg.initResult()), chainOk);
        EXPECT_EQ(dlg.player() != nullptr, failing > Step::QueryControl);
        // 215 is enabled only for a player that says it is remote, and never disabled before
        // the question was asked.
        if (failing > Step::IsRemote) {
            EXPECT_EQ(frame.button215, 1);
        } else if (failing == Step::IsRemote) {
            EXPECT_EQ(frame.button215, 0);
        } else {
            EXPECT_EQ(frame.button215, -1);
        }
        if (failing > Step::PlayerServices) {
            EXPECT_EQ(frame.log.pane, "NowPlaying");
        }
    }
    // The dialog's end released everything it held.
    EXPECT_EQ(frame.log.liveObjects, 0);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, NowPaneChain,
                         ::testing::Values(Step::CreateHostWindow, Step::HostSiteInterface,
                                           Step::SetSite, Step::CreateControl, Step::QueryControl,
                                           Step::IsRemote, Step::MediaCollection,
                                           Step::PlaylistCollection, Step::PlayerServices,
                                           Step::SetTaskPane, Step::PlayerApplication,
                                           Step::SwitchToPlayerApplication, Step::None));

TEST(NowPaneDialog, APlayerThatIsNotRemoteLeavesTheButtonOffButIsStillSwitched) {
    FakeControl::Plan plan{Step::None};
    plan.remote = false;
    RecordingFrame frame(plan);
    CMainDlg dlg(true);
    dlg.onInitDialog(frame);
    EXPECT_EQ(frame.button215, 0);
    EXPECT_TRUE(SUCCEEDED(dlg.initResult()));
    EXPECT_EQ(frame.log.pane, "NowPlaying");
    EXPECT_EQ(frame.quits, 1);
}

TEST(NowPaneDialog, CommandsCloseCancelGoToLibraryAndQuit) {
    RecordingFrame frame(FakeControl::Plan{Step::None});
    CMainDlg dlg(true);
    dlg.onInitDialog(frame);
    size_t before = frame.log.steps.size();
    dlg.onCommand(frame, nowpane::IDC_GOTO_LIBRARY);
    EXPECT_EQ(frame.log.steps.size(), before + 4); // the now-playing view once more
    dlg.onCommand(frame, 32777);
    EXPECT_EQ(frame.quits, 2);
    dlg.onCommand(frame, nowpane::IDOK);
    EXPECT_EQ(frame.ended, 1);
    dlg.onCommand(frame, nowpane::IDCANCEL);
    EXPECT_EQ(frame.ended, 2);
    dlg.onDestroy();
    EXPECT_EQ(dlg.player(), nullptr);
}

TEST(NowPaneDialog, WithoutARegisteredPlayerTheDialogStillEndsAtOnce) {
    testsupport::ScratchDir registry;
    plat::setRegistryRoot(registry.path());
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    {
        CMainDlg dlg(true);
        ModalDialog dialog(nowpane::mainDialog());
        auto begin = std::chrono::steady_clock::now();
        EXPECT_EQ(dialog.run(dlg), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(2));
        EXPECT_EQ(dlg.initResult(), REGDB_E_CLASSNOTREG);
        EXPECT_TRUE(dialog.enabled(nowpane::IDC_GOTO_LIBRARY));
    }
    CoUninitialize();
    plat::setRegistryRoot("");
}
