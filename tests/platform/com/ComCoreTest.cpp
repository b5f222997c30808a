#include "platform/com/Dispatch.h"
#include "platform/com/Unknown.h"
#include "platform/media/Effects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Slot index of a virtual function in its interface table (Itanium C++ ABI: a pointer to a
// virtual member holds 1 + the slot's byte offset).
template <class F> size_t slotOf(F member) {
    struct Representation {
        uintptr_t pointer;
        ptrdiff_t adjust;
    } r{};
    static_assert(sizeof member == sizeof r, "unexpected member pointer size");
    std::memcpy(&r, &member, sizeof r);
    EXPECT_EQ(r.pointer % sizeof(void*), 1u) << "not a virtual function";
    return (r.pointer - 1) / sizeof(void*);
}

std::u16string textOf(BSTR b) {
    return b == nullptr ? std::u16string() : std::u16string(b, SysStringLen(b));
}

TEST(GuidTest, TextFormRoundTripsInUpperCaseAndReadsEitherCase) {
    constexpr GUID g = plat::guid("{f0b862ac-cea2-4980-802f-c63fcb03f074}");
    EXPECT_EQ(g.Data1, 0xF0B862ACu);
    EXPECT_EQ(g.Data2, 0xCEA2);
    EXPECT_EQ(g.Data3, 0x4980);
    EXPECT_EQ(g.Data4[0], 0x80);
    EXPECT_EQ(g.Data4[7], 0x74);
    EXPECT_EQ(plat::guidToString(g), "{F0B862AC-CEA2-4980-802F-C63FCB03F074}");
    GUID back{};
    ASSERT_TRUE(plat::guidFromString("{F0B862AC-CEA2-4980-802F-C63FCB03F074}", &back));
    EXPECT_EQ(back, g);

    OLECHAR wide[39];
    EXPECT_EQ(StringFromGUID2(g, wide, 39), 39);
    CLSID parsed{};
    EXPECT_EQ(CLSIDFromString(wide, &parsed), S_OK);
    EXPECT_EQ(parsed, g);
    EXPECT_EQ(StringFromGUID2(g, wide, 38), 0);
}

TEST(GuidTest, MalformedTextIsRefusedAndLeavesTheResult) {
    const GUID marker = plat::guid("{11111111-2222-3333-4444-555555555555}");
    for (const char* bad :
         {"", "F0B862AC-CEA2-4980-802F-C63FCB03F074", "{F0B862AC-CEA2-4980-802F-C63FCB03F07}",
          "{F0B862AC-CEA2-4980-802F-C63FCB03F0745}", "{F0B862AC+CEA2-4980-802F-C63FCB03F074}",
          "{G0B862AC-CEA2-4980-802F-C63FCB03F074}", "{F0B862AC-CEA2-4980-802F-C63FCB03F074"}) {
        GUID g = marker;
        EXPECT_FALSE(plat::guidFromString(bad, &g)) << bad;
        EXPECT_EQ(g, marker) << bad;
    }
    CLSID c{};
    EXPECT_EQ(CLSIDFromString(u"{nope}", &c), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromString(nullptr, &c), CO_E_CLASSSTRING);
}

TEST(HresultTest, FailuresHaveTheTopBitAndWin32CodesMapToFacility7) {
    EXPECT_TRUE(SUCCEEDED(S_FALSE));
    EXPECT_TRUE(FAILED(E_UNEXPECTED));
    EXPECT_EQ(static_cast<uint32_t>(E_INVALIDARG), 0x80070057u);
    EXPECT_EQ(static_cast<uint32_t>(HRESULT_FROM_WIN32(126)), 0x8007007Eu);
    EXPECT_EQ(HRESULT_FROM_WIN32(0), S_OK);
}

TEST(BstrTest, LengthIsKeptInFrontAndNullIsTheEmptyString) {
    BSTR s = SysAllocString(u"Tone Crest");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringLen(s), 10u);
    EXPECT_EQ(s[10], 0);
    SysFreeString(s);

    const OLECHAR withNul[] = {u'a', 0, u'b'};
    BSTR n = SysAllocStringLen(withNul, 3);
    EXPECT_EQ(SysStringLen(n), 3u);
    EXPECT_EQ(n[2], u'b');
    SysFreeString(n);

    BSTR zeros = SysAllocStringLen(nullptr, 4);
    EXPECT_EQ(textOf(zeros), std::u16string(4, u'\0'));
    SysFreeString(zeros);

    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
}

TEST(BstrTest, Utf8ConvertsBothWaysIncludingSurrogatePairs) {
    BSTR b = plat::bstrFromUtf8("\xC3\x84 \xF0\x9F\x8E\xB5"); // "Ä 🎵"
    EXPECT_EQ(textOf(b), std::u16string(u"\u00C4 \U0001F3B5"));
    EXPECT_EQ(SysStringLen(b), 4u);
    EXPECT_EQ(plat::utf8FromBstr(b), "\xC3\x84 \xF0\x9F\x8E\xB5");
    SysFreeString(b);

    BSTR bad = plat::bstrFromUtf8("a\xFF"
                                  "b\xC3");
    EXPECT_EQ(textOf(bad), std::u16string(u"a\uFFFDb\uFFFD"));
    SysFreeString(bad);

    const OLECHAR lone[] = {0xD800, u'x'};
    BSTR l = SysAllocStringLen(lone, 2);
    EXPECT_EQ(plat::utf8FromBstr(l), "\xEF\xBF\xBDx");
    SysFreeString(l);
}

class Counted : public IUnknown {
  public:
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG Release() override { return static_cast<ULONG>(--refs); }
    long refs = 1;
};

TEST(VariantTest, CopyDuplicatesStringsAndReferencesAndClearFreesThem) {
    Counted object;
    VARIANT a;
    VariantInit(&a);
    a.vt = VT_UNKNOWN;
    a.punkVal = &object;
    object.AddRef();
    VARIANT b;
    VariantInit(&b);
    b.vt = VT_BSTR;
    b.bstrVal = SysAllocString(u"old");
    EXPECT_EQ(VariantCopy(&b, &a), S_OK);
    EXPECT_EQ(object.refs, 3);
    EXPECT_EQ(VariantClear(&a), S_OK);
    EXPECT_EQ(VariantClear(&b), S_OK);
    EXPECT_EQ(object.refs, 1);
    EXPECT_EQ(b.vt, VT_EMPTY);

    VARIANT s;
    VariantInit(&s);
    s.vt = VT_BSTR;
    s.bstrVal = SysAllocString(u"text");
    VARIANT c;
    VariantInit(&c);
    EXPECT_EQ(VariantCopy(&c, &s), S_OK);
    EXPECT_NE(c.bstrVal, s.bstrVal);
    EXPECT_EQ(textOf(c.bstrVal), u"text");
    VariantClear(&s);
    VariantClear(&c);
}

struct Colour {
    std::u16string value = u"#FF0000";
};

const plat::DispatchMember kMembers[] = {
    {u"foregroundColor", 1,
     [](void* o, VARIANT* r) {
         r->vt = VT_BSTR;
         r->bstrVal = SysAllocString(static_cast<Colour*>(o)->value.c_str());
         return S_OK;
     },
     [](void* o, const VARIANT& v) {
         if (v.vt != VT_BSTR) {
             return DISP_E_TYPEMISMATCH;
         }
         static_cast<Colour*>(o)->value = textOf(v.bstrVal);
         return S_OK;
     },
     nullptr},
};

TEST(DispatchTest, NamesResolveWithoutRegardToCaseAndUnknownNamesFail) {
    OLECHAR name[] = u"FOREGROUNDcolor";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    EXPECT_EQ(plat::dispatchIdsOfNames(kMembers, 1, names, 1, &id), S_OK);
    EXPECT_EQ(id, 1);
    OLECHAR other[] = u"backgroundColor";
    names[0] = other;
    EXPECT_EQ(plat::dispatchIdsOfNames(kMembers, 1, names, 1, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
}

TEST(DispatchTest, PropertyGetAndPutGoThroughTheMemberFunctions) {
    Colour colour;
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(plat::dispatchInvoke(kMembers, 1, &colour, 1, DISPATCH_PROPERTYGET, &none, &result),
              S_OK);
    EXPECT_EQ(textOf(result.bstrVal), u"#FF0000");
    VariantClear(&result);

    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BSTR;
    arg.bstrVal = SysAllocString(u"#00FF80");
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put{&arg, &named, 1, 1};
    EXPECT_EQ(plat::dispatchInvoke(kMembers, 1, &colour, 1, DISPATCH_PROPERTYPUT, &put, nullptr),
              S_OK);
    EXPECT_EQ(colour.value, u"#00FF80");
    VariantClear(&arg);

    DISPPARAMS unnamed{&arg, nullptr, 1, 0};
    EXPECT_EQ(
        plat::dispatchInvoke(kMembers, 1, &colour, 1, DISPATCH_PROPERTYPUT, &unnamed, nullptr),
        DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(plat::dispatchInvoke(kMembers, 1, &colour, 7, DISPATCH_PROPERTYGET, &none, &result),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(plat::dispatchInvoke(kMembers, 1, &colour, 1, DISPATCH_METHOD, &none, &result),
              DISP_E_MEMBERNOTFOUND);
}

TEST(InterfaceTableTest, SlotsKeepThePlayersOrder) {
    EXPECT_EQ(slotOf(&IUnknown::QueryInterface), 0u);
    EXPECT_EQ(slotOf(&IUnknown::Release), 2u);
    EXPECT_EQ(slotOf(&IClassFactory::CreateInstance), 3u);
    EXPECT_EQ(slotOf(&IClassFactory::LockServer), 4u);
    EXPECT_EQ(slotOf(&IDispatch::GetTypeInfoCount), 3u);
    EXPECT_EQ(slotOf(&IDispatch::Invoke), 6u);

    EXPECT_EQ(slotOf(&IWMPEffects::Render), 3u);
    EXPECT_EQ(slotOf(&IWMPEffects::MediaInfo), 4u);
    EXPECT_EQ(slotOf(&IWMPEffects::GetCapabilities), 5u);
    EXPECT_EQ(slotOf(&IWMPEffects::GetTitle), 6u);
    EXPECT_EQ(slotOf(&IWMPEffects::GetPresetTitle), 7u);
    EXPECT_EQ(slotOf(&IWMPEffects::GetPresetCount), 8u);
    EXPECT_EQ(slotOf(&IWMPEffects::SetCurrentPreset), 9u);
    EXPECT_EQ(slotOf(&IWMPEffects::GetCurrentPreset), 10u);
    EXPECT_EQ(slotOf(&IWMPEffects::DisplayPropertyPage), 11u);
    EXPECT_EQ(slotOf(&IWMPEffects::GoFullscreen), 12u);
    EXPECT_EQ(slotOf(&IWMPEffects::RenderFullScreen), 13u);
    EXPECT_EQ(slotOf(&IWMPEffects2::SetCore), 14u);
    EXPECT_EQ(slotOf(&IWMPEffects2::Create), 15u);
    EXPECT_EQ(slotOf(&IWMPEffects2::Destroy), 16u);
    EXPECT_EQ(slotOf(&IWMPEffects2::NotifyNewMedia), 17u);
    EXPECT_EQ(slotOf(&IWMPEffects2::OnWindowMessage), 18u);
    EXPECT_EQ(slotOf(&IWMPEffects2::RenderWindowed), 19u);

    EXPECT_EQ(slotOf(&IWMPCore::close), 7u);
    EXPECT_EQ(slotOf(&IWMPCore::get_URL), 8u);
    EXPECT_EQ(slotOf(&IWMPCore::get_mediaCollection), 16u);
    EXPECT_EQ(slotOf(&IWMPCore::get_playlistCollection), 17u);
    EXPECT_EQ(slotOf(&IWMPCore::get_status), 27u);
}

TEST(InterfaceTableTest, TheLevelRecordStartsWithTheTwoSpectrumChannels) {
    EXPECT_EQ(offsetof(TimedLevel, frequency), 0u);
    EXPECT_EQ(offsetof(TimedLevel, waveform), 2048u);
    EXPECT_EQ(offsetof(TimedLevel, state), 4096u);
}

} // namespace
