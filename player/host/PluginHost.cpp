#include "player/host/PluginHost.h"

#include "platform/com/Com.h"
#include "platform/gdi/Gdi.h"
#include "platform/media/Effects.h"
#include "platform/registry/Registry.h"
#include "platform/window/Window.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const char* const kPaneClass = "tcplayerNowPlayingPane";

LRESULT paneProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    return DefWindowProcA(window, message, w, l);
}

bool registerPaneClass() {
    static bool done = false;
    if (!done) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &paneProc;
        wc.lpszClassName = kPaneClass;
        done = RegisterClassExA(&wc) != 0;
    }
    return done;
}

std::string hresultText(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

std::string queryString(HKEY key, const char* name) {
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return "";
    }
    return std::string(buffer, strnlen(buffer, size));
}

// One plug-in instance on the pane's window.
class PluginVisualization : public Visualization {
  public:
    PluginVisualization(const CLSID& id, IWMPCore* c) : clsid(id), core(c) {}
    ~PluginVisualization() override { stop(); }

    bool start(PaneSurface& p, std::string& error) override {
        pane = &p;
        void* object = nullptr;
        HRESULT hr =
            CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IWMPEffects2, &object);
        if (hr < 0 || object == nullptr) {
            error = "it could not be created (" + hresultText(hr) + ")";
            return false;
        }
        effects = static_cast<IWMPEffects2*>(object);
        if (!registerPaneClass()) {
            error = "the pane's window could not be made";
            return false;
        }
        int w = std::max(p.width, 1), h = std::max(p.height, 1);
        window = CreateWindowExA(0, kPaneClass, "Now Playing", 0, 0, 0, w, h, nullptr, nullptr,
                                 nullptr, nullptr);
        surface = std::make_unique<plat::PixelSurface>(w, h);
        if (window == nullptr || !plat::bindWindowSurface(window, surface.get())) {
            error = "the pane's window could not be made";
            return false;
        }
        effects->SetCore(core);
        hr = effects->Create(window);
        if (hr < 0) {
            error = "it refused the pane's window (" + hresultText(hr) + ")";
            return false;
        }
        return true;
    }

    void mediaInfo(const MediaDescription& media) override {
        if (!effects) {
            return;
        }
        BSTR title = pluginTitle(media.title);
        effects->MediaInfo(media.channels, media.sampleRate, title);
        SysFreeString(title);
    }

    void render(const LevelFrame& levels) override {
        if (!effects || !window) {
            return;
        }
        if (pane->width != surface->width() || pane->height != surface->height()) {
            surface->resize(pane->width, pane->height);
            MoveWindow(window, 0, 0, pane->width, pane->height, TRUE);
        }
        static_assert(sizeof(TimedLevel::frequency) == sizeof(LevelFrame::frequency), "");
        static_assert(sizeof(TimedLevel::waveform) == sizeof(LevelFrame::waveform), "");
        std::memcpy(timed.frequency, levels.frequency, sizeof timed.frequency);
        std::memcpy(timed.waveform, levels.waveform, sizeof timed.waveform);
        timed.state = levels.state;
        timed.timeStamp = levels.timeStamp;
        effects->RenderWindowed(&timed, TRUE);
        size_t n = size_t(surface->width()) * size_t(surface->height());
        if (pane->pixels.size() == n) {
            std::memcpy(pane->pixels.data(), surface->data(), n * sizeof(uint32_t));
        }
    }

    void mouse(PaneMouse message, int x, int y) override {
        if (!effects) {
            return;
        }
        WPARAM buttons = message == PaneMouse::LeftDown ? MK_LBUTTON : 0;
        LRESULT result = 0;
        effects->OnWindowMessage(static_cast<UINT>(message), buttons,
                                 MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)), &result);
    }

    std::string title() const override {
        if (!effects) {
            return "";
        }
        BSTR t = nullptr;
        if (effects->GetTitle(&t) < 0 || t == nullptr) {
            return "";
        }
        std::string s = plat::utf8FromBstr(t);
        SysFreeString(t);
        return s;
    }

    void stop() override {
        if (effects) {
            effects->Destroy();
            effects->SetCore(nullptr);
            effects->Release();
            effects = nullptr;
        }
        if (window) {
            plat::bindWindowSurface(window, nullptr);
            DestroyWindow(window);
            window = nullptr;
        }
    }

  private:
    CLSID clsid;
    IWMPCore* core;
    IWMPEffects2* effects = nullptr;
    HWND window = nullptr;
    PaneSurface* pane = nullptr;
    std::unique_ptr<plat::PixelSurface> surface;
    TimedLevel timed{};
};

} // namespace

BSTR pluginTitle(const std::string& utf8) {
    std::u16string units;
    for (size_t i = 0; i < utf8.size();) {
        auto c = static_cast<unsigned char>(utf8[i]);
        int extra = c < 0x80 ? 0 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
        uint32_t cp = extra < 0 ? 0xFFFD : extra == 0 ? c : c & (0x3F >> extra);
        ++i;
        for (int k = 0; k < extra && i < utf8.size(); ++k, ++i) {
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        }
        units.push_back(cp <= 0xFF ? char16_t(cp) : u'?');
    }
    return SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
}

PluginCatalog::PluginCatalog(IWMPCore* c) : core(c) {
    core->AddRef();
    rescanMessage = RegisterWindowMessageA(kPluginAddRemoveMessage);
}

PluginCatalog::~PluginCatalog() {
    core->Release();
}

std::vector<VisualizationEntry> PluginCatalog::list() {
    std::vector<VisualizationEntry> out;
    HKEY effects = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kEffectsRegistryKey, 0, KEY_READ, &effects) !=
        ERROR_SUCCESS) {
        return out;
    }
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        LONG rc = RegEnumKeyExA(effects, i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (rc != ERROR_SUCCESS) {
            continue;
        }
        HKEY props = nullptr;
        std::string sub = std::string(name) + "\\Properties";
        if (RegOpenKeyExA(effects, sub.c_str(), 0, KEY_READ, &props) != ERROR_SUCCESS) {
            continue;
        }
        std::string classId = queryString(props, "classid");
        std::string shown = queryString(props, "name");
        RegCloseKey(props);
        CLSID id{};
        if (!plat::guidFromString(classId, &id)) {
            continue;
        }
        // A name that points into a Windows resource cannot be read here: the key names it.
        if (shown.empty() || shown.rfind("res://", 0) == 0) {
            shown = name;
        }
        out.push_back({name, shown});
    }
    RegCloseKey(effects);
    return out;
}

std::unique_ptr<Visualization> PluginCatalog::create(const std::string& key, std::string& error) {
    HKEY props = nullptr;
    std::string path = std::string(kEffectsRegistryKey) + "\\" + key + "\\Properties";
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &props) != ERROR_SUCCESS) {
        error = "it is no longer registered";
        return nullptr;
    }
    std::string classId = queryString(props, "classid");
    RegCloseKey(props);
    CLSID id{};
    if (!plat::guidFromString(classId, &id)) {
        error = "its class id \"" + classId + "\" is not valid";
        return nullptr;
    }
    return std::make_unique<PluginVisualization>(id, core);
}

bool PluginCatalog::rescanRequested() {
    bool asked = false;
    plat::BroadcastMessage m;
    while (listener.listening() && listener.receive(&m, 0)) {
        asked = asked || (rescanMessage != 0 && m.message == rescanMessage);
    }
    return asked;
}
