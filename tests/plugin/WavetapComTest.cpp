// The plug-in driven through its interfaces as the player drives it.
#include "tests/plugin/FakeHost.h"

#include <cstring>

namespace {

using fakehost::bstr;
using fakehost::levelsOf;
using fakehost::PluginTest;

std::u16string textOf(BSTR b) {
    return b == nullptr ? std::u16string() : std::u16string(b, SysStringLen(b));
}

TEST_F(PluginTest, RenderWindowedWithoutAWindowWritesTheBlockAndIsUnexpected) {
    TimedLevel l = levelsOf(11, 22);
    BSTR title = bstr(u"First Song");
    EXPECT_EQ(effects->MediaInfo(2, 44100, title), S_OK);
    SysFreeString(title);

    EXPECT_EQ(effects->RenderWindowed(&l, FALSE), E_UNEXPECTED);
    Block b = readBlock();
    EXPECT_EQ(b.spectrum[0][0], 11);
    EXPECT_EQ(b.spectrum[1][1023], 22);
    EXPECT_STREQ(b.title, "First Song");

    // After Destroy the same: written, then E_UNEXPECTED.
    ASSERT_NE(openPane(320, 240), nullptr);
    EXPECT_EQ(effects->Create(pane), S_OK);
    l = levelsOf(33, 44);
    EXPECT_EQ(effects->RenderWindowed(&l, TRUE), S_OK);
    EXPECT_EQ(effects->Destroy(), S_OK);
    l = levelsOf(55, 66);
    EXPECT_EQ(effects->RenderWindowed(&l, TRUE), E_UNEXPECTED);
    b = readBlock();
    EXPECT_EQ(b.spectrum[0][500], 55);
    EXPECT_EQ(b.spectrum[1][500], 66);

    // Without a level record the block gets silence.
    EXPECT_EQ(effects->RenderWindowed(nullptr, TRUE), E_UNEXPECTED);
    b = readBlock();
    EXPECT_EQ(b.spectrum[0][500], 0);
    EXPECT_STREQ(b.title, "First Song");
}

TEST_F(PluginTest, TitlesAreCutTo198CharactersOfTheirLowBytes) {
    TimedLevel l = levelsOf(0, 0);
    std::u16string longTitle;
    for (int i = 0; i < 250; ++i) {
        longTitle += static_cast<char16_t>(u'A' + i % 26);
    }
    BSTR t = bstr(longTitle);
    EXPECT_EQ(effects->MediaInfo(2, 44100, t), S_OK);
    SysFreeString(t);
    effects->RenderWindowed(&l, TRUE);
    Block b = readBlock();
    EXPECT_EQ(std::strlen(b.title), 198u);
    EXPECT_EQ(std::string(b.title, 198), std::string(longTitle.begin(), longTitle.begin() + 198));

    t = bstr(u"\u00C4");
    effects->MediaInfo(1, 22050, t);
    SysFreeString(t);
    effects->RenderWindowed(&l, TRUE);
    b = readBlock();
    EXPECT_EQ(static_cast<unsigned char>(b.title[0]), 0xC4);
    EXPECT_EQ(b.title[1], '\0');

    // Beyond 8 bits only the low byte stays; the text ends at an embedded NUL.
    t = bstr(std::u16string(u"\u4E41b\0hidden", 9));
    effects->MediaInfo(2, 44100, t);
    SysFreeString(t);
    effects->RenderWindowed(&l, TRUE);
    EXPECT_STREQ(readBlock().title, "Ab");

    effects->MediaInfo(2, 44100, nullptr);
    effects->RenderWindowed(&l, TRUE);
    EXPECT_STREQ(readBlock().title, "");
}

TEST_F(PluginTest, PresetsTitlesAndCapabilities) {
    EXPECT_EQ(effects->SetCurrentPreset(1), E_INVALIDARG);
    EXPECT_EQ(effects->SetCurrentPreset(-1), E_INVALIDARG);
    EXPECT_EQ(effects->SetCurrentPreset(0), S_OK);
    LONG preset = -5;
    EXPECT_EQ(effects->GetCurrentPreset(&preset), S_OK);
    EXPECT_EQ(preset, 0);
    LONG count = 0;
    EXPECT_EQ(effects->GetPresetCount(&count), S_OK);
    EXPECT_EQ(count, 1);

    BSTR text = nullptr;
    EXPECT_EQ(effects->GetPresetTitle(1, &text), E_INVALIDARG);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(effects->GetPresetTitle(0, &text), S_OK);
    EXPECT_EQ(textOf(text), u"Tone Crest 2.0");
    SysFreeString(text);
    EXPECT_EQ(effects->GetTitle(&text), S_OK);
    EXPECT_EQ(textOf(text), u"Tone Crest");
    SysFreeString(text);

    DWORD caps = 99;
    EXPECT_EQ(effects->GetCapabilities(&caps), S_OK);
    EXPECT_EQ(caps, 0u);

    EXPECT_EQ(effects->GetTitle(nullptr), E_POINTER);
    EXPECT_EQ(effects->GetPresetTitle(0, nullptr), E_POINTER);
    EXPECT_EQ(effects->GetPresetCount(nullptr), E_POINTER);
    EXPECT_EQ(effects->GetCurrentPreset(nullptr), E_POINTER);
    EXPECT_EQ(effects->GetCapabilities(nullptr), E_POINTER);
    EXPECT_EQ(effects->DisplayPropertyPage(nullptr), E_NOTIMPL);
    EXPECT_EQ(effects->GoFullscreen(TRUE), E_NOTIMPL);
    EXPECT_EQ(effects->RenderFullScreen(nullptr), E_NOTIMPL);
    EXPECT_EQ(effects->NotifyNewMedia(nullptr), S_OK);
}

TEST_F(PluginTest, ForegroundColourReadsBackInUpperCaseThroughBothBindings) {
    IWavetap1* wavetap = nullptr;
    ASSERT_EQ(effects->QueryInterface(IID_IWavetap1, reinterpret_cast<void**>(&wavetap)), S_OK);
    BSTR text = nullptr;
    ASSERT_EQ(wavetap->get_foregroundColor(&text), S_OK);
    EXPECT_EQ(textOf(text), u"#FF0000");
    SysFreeString(text);

    BSTR colour = bstr(u"#00ff80");
    EXPECT_EQ(wavetap->put_foregroundColor(colour), S_OK);
    SysFreeString(colour);
    wavetap->get_foregroundColor(&text);
    EXPECT_EQ(textOf(text), u"#00FF80");
    SysFreeString(text);

    colour = bstr(u"x1234aB");
    EXPECT_EQ(wavetap->put_foregroundColor(colour), S_OK);
    SysFreeString(colour);
    wavetap->get_foregroundColor(&text);
    EXPECT_EQ(textOf(text), u"#1234AB");
    SysFreeString(text);

    for (const char16_t* bad : {u"", u"#00FF8", u"#00FF800", u"#00FG80", u"#00 F80"}) {
        colour = bstr(bad);
        EXPECT_EQ(wavetap->put_foregroundColor(colour), E_INVALIDARG) << textOf(colour).size();
        SysFreeString(colour);
    }
    EXPECT_EQ(wavetap->put_foregroundColor(nullptr), E_POINTER);
    EXPECT_EQ(wavetap->get_foregroundColor(nullptr), E_POINTER);

    // Late bound, by name.
    OLECHAR name[] = u"foregroundcolor";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    ASSERT_EQ(wavetap->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BSTR;
    arg.bstrVal = SysAllocString(u"#0A0B0C");
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put{&arg, &named, 1, 1};
    EXPECT_EQ(
        wavetap->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr),
        S_OK);
    VariantClear(&arg);
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(
        wavetap->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr),
        S_OK);
    EXPECT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(textOf(result.bstrVal), u"#0A0B0C");
    VariantClear(&result);
    arg.vt = VT_I4;
    arg.lVal = 5;
    EXPECT_EQ(
        wavetap->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr),
        DISP_E_TYPEMISMATCH);
    UINT infos = 9;
    EXPECT_EQ(wavetap->GetTypeInfoCount(&infos), S_OK);
    EXPECT_EQ(infos, 0u);
    wavetap->Release();
}

TEST_F(PluginTest, QueryInterfaceAnswersExactlyItsInterfacesAndCountsBalance) {
    struct Answer {
        IID iid;
        bool first; // on the IWavetap1 table, else on the effects table
    } answers[] = {{IID_IUnknown, true},
                   {IID_IDispatch, true},
                   {IID_IWavetap1, true},
                   {IID_IWMPEffects, false},
                   {IID_IWMPEffects2, false}};
    IUnknown* identity = nullptr;
    ASSERT_EQ(effects->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    void* wavetapTable = nullptr;
    effects->QueryInterface(IID_IWavetap1, &wavetapTable);
    for (const Answer& a : answers) {
        void* p = nullptr;
        ASSERT_EQ(effects->QueryInterface(a.iid, &p), S_OK) << plat::guidToString(a.iid);
        EXPECT_EQ(p == static_cast<void*>(effects), !a.first);
        EXPECT_EQ(p == wavetapTable, a.first);
        static_cast<IUnknown*>(p)->Release();
    }
    static_cast<IUnknown*>(wavetapTable)->Release();
    for (const IID& other : {IID_IClassFactory, IID_IWMPCore, IID_NULL}) {
        void* p = reinterpret_cast<void*>(1);
        EXPECT_EQ(effects->QueryInterface(other, &p), E_NOINTERFACE);
        EXPECT_EQ(p, nullptr);
    }
    EXPECT_EQ(effects->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(identity->Release(), 1u);

    // The core is held while set and let go at the end.
    fakehost::FakeCore core;
    EXPECT_EQ(effects->SetCore(&core), S_OK);
    EXPECT_EQ(core.refs, 2);
    fakehost::FakeCore second;
    EXPECT_EQ(effects->SetCore(&second), S_OK);
    EXPECT_EQ(core.refs, 1);
    EXPECT_EQ(second.refs, 2);
    EXPECT_EQ(effects->SetCore(nullptr), S_OK);
    EXPECT_EQ(second.refs, 1);
    effects->SetCore(&core);

    auto canUnload = reinterpret_cast<HRESULT (*)()>(GetProcAddress(library, "DllCanUnloadNow"));
    EXPECT_EQ(canUnload(), S_FALSE);
    EXPECT_EQ(effects->Release(), 0u);
    effects = nullptr;
    EXPECT_EQ(core.refs, 1);
    EXPECT_EQ(canUnload(), S_OK);
}

TEST_F(PluginTest, OnlyTheFourEntryPointsAreExported) {
    std::string cmd = "nm -D --defined-only " + fakehost::kPlugin + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string symbols;
    char line[512];
    while (fgets(line, sizeof line, p) != nullptr) {
        std::string s = line;
        symbols += s.substr(s.find_last_of(' ') + 1);
    }
    ASSERT_EQ(pclose(p), 0) << symbols;
    EXPECT_EQ(symbols,
              "DllCanUnloadNow\nDllGetClassObject\nDllRegisterServer\nDllUnregisterServer\n");
}

} // namespace
