// Every interop and mirror interface, called the way a package written in C
// calls it: through the raw method table by slot number. A recorder object
// implements the interface and logs which method each slot reached; the
// slot tables and GUID texts are the published ones, not derived from the
// headers.
#include "tests/support/InterfaceSlots.h"

#include <string>
#include <type_traits>
#include <vector>

namespace tvx::test {
namespace {

// Logs the name of each method it is called through.
template <class I>
class Recorder : public I {
public:
    using Interface = I;
    std::string called;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return Hit<HRESULT>(__func__); }
    ULONG STDMETHODCALLTYPE AddRef() override { return Hit<ULONG>(__func__); }
    ULONG STDMETHODCALLTYPE Release() override { return Hit<ULONG>(__func__); }

protected:
    template <class R>
    R Hit(const char* method)
    {
        called = method;
        return R();
    }
};

#define RECORD(n, Result, Method, ...)                                                                                 \
    Result STDMETHODCALLTYPE Method(__VA_ARGS__) override { return Hit<Result>(__func__); }

template <class R>
void ExpectSlots()
{
    using I = typename R::Interface;
    static_assert(std::is_base_of_v<IUnknown, I>);
    static_assert(sizeof(I) == sizeof(void*), "an interop interface holds nothing but its method table");
    static_assert(!std::has_virtual_destructor_v<I>, "a virtual destructor would take method slots");

    std::vector<SlotRow> rows = {SlotOf<decltype(&IUnknown::QueryInterface)>(0, "QueryInterface"),
                                 SlotOf<decltype(&IUnknown::AddRef)>(1, "AddRef"),
                                 SlotOf<decltype(&IUnknown::Release)>(2, "Release")};
    for (const SlotRow& row : SlotTable<I>())
        rows.push_back(row);

    R recorder;
    I* object = &recorder;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const SlotRow& row = rows[i];
        SCOPED_TRACE(testing::Message() << "slot " << row.slot << " (" << row.method << ")");
        ASSERT_EQ(row.slot, int(i)) << "slot table has a gap";
        recorder.called.clear();
        SlotCall zero(SlotCall::Args::Zero);
        row.call(object, row.slot, zero);
        EXPECT_EQ(recorder.called, row.method);
    }
}

#define RECORDER(Interface)                                                                                            \
    struct Interface##Recorder : Recorder<Interface> {                                                                 \
        TVX_SLOTS_##Interface(RECORD)                                                                                  \
    };
TVX_BDS_INTEROP_INTERFACES(RECORDER)
TVX_WRAPPED_TOOLS_API_INTERFACES(RECORDER)
#undef RECORDER
#undef RECORD

// One interface: its published name and GUID text, and its slot check.
struct AbiCase {
    const char* name;
    const char* iidText;
    GUID iid;
    void (*expectSlots)();
};

void PrintTo(const AbiCase& c, std::ostream* os) { *os << c.name; }

template <class R>
AbiCase Case(const char* name, const char* iidText)
{
    return {name, iidText, IidOf<typename R::Interface>, &ExpectSlots<R>};
}

const std::vector<AbiCase> kBdsInterop = {
    Case<IBdsPackageRecorder>("IBdsPackage", "{7E5999AF-8E58-44A7-97A8-115ACD1F1C0A}"),
    Case<IBdsEditorTabListenerRecorder>("IBdsEditorTabListener", "{436A49EE-0938-4653-A421-494FDED3D6E2}"),
    Case<IBdsServicesRecorder>("IBdsServices", "{AB49F930-BA93-49F9-B86C-AF9D7AB4A8E2}"),
    Case<IMessageHandlerRecorder>("IMessageHandler", "{3ACECC0D-0E1D-4933-A18E-3FA306CB87C8}"),
    Case<IDragDropHelperProviderRecorder>("IDragDropHelperProvider", "{630B4751-397C-4A08-AC52-255604B8BAC4}"),
    Case<IDragDropHelperRecorder>("IDragDropHelper", "{538A9DED-E13F-4971-8C37-CB3EDA31270B}"),
    Case<IBdsHelpServiceRecorder>("IBdsHelpService", "{6385956D-6E2B-44AA-8195-4A360494C970}"),
    Case<IBdsMenuItemRecorder>("IBdsMenuItem", "{DBC8B252-9572-49B1-8DCB-456CFC3C1DCD}"),
    Case<IBdsToolBarControlEventsRecorder>("IBdsToolBarControlEvents", "{FFF45488-2117-4933-BE66-66CE5C4BC7FF}"),
    Case<IBdsMenuBarServiceRecorder>("IBdsMenuBarService", "{E8CCAFB7-156E-4D11-A71B-814C9F82947A}"),
    Case<IBdsToolBarControlRecorder>("IBdsToolBarControl", "{B4F06B0E-2707-4B91-9CC9-C1AF8CEA12CF}"),
    Case<IBdsToolBarButtonRecorder>("IBdsToolBarButton", "{ECC87463-A2BE-4D60-B747-C83BCE98616B}"),
    Case<IBdsToolBarComboBoxRecorder>("IBdsToolBarComboBox", "{5DAE9182-47EB-486E-99E1-F27E7F780011}"),
    Case<IBdsToolBarPopUpRecorder>("IBdsToolBarPopUp", "{C548B814-4A38-4792-8ECB-644304F6F63C}"),
    Case<IGetSelfRecorder>("IGetSelf", "{19D1B51E-B630-43FF-87D9-3827F7F795BE}"),
    Case<IBdsToolBarRecorder>("IBdsToolBar", "{C9758D40-3B10-4338-9B52-7822FF353577}"),
    Case<IBdsToolBarServiceRecorder>("IBdsToolBarService", "{904F1EFE-D8D6-4C1C-B90F-EAF41EC67133}"),
    Case<IWin32WindowRecorder>("IWin32Window", "{458AB8A2-A1EA-4D7B-8EBE-DEE5D3D9442C}"),
    Case<IBdsWindowEventsRecorder>("IBdsWindowEvents", "{3E187226-54E3-47CE-A085-09DD43744F1A}"),
    Case<IBdsDockableWindowRecorder>("IBdsDockableWindow", "{A0106024-DA57-4041-A27B-0AEC4E5440D9}"),
    Case<IBdsDocumentWindowRecorder>("IBdsDocumentWindow", "{1AF2ED26-43BF-4363-A7F1-7FC0358271B2}"),
    Case<IBdsWindowsServiceRecorder>("IBdsWindowsService", "{BC7160DF-95FA-4297-84A2-F0F4EF27BF85}"),
};

const std::vector<AbiCase> kWrappedToolsApi = {
    Case<IBDSModuleServices70Recorder>("IBDSModuleServices70", "{F17A7BCD-E07D-11D1-AB0B-00C04FB16FB3}"),
    Case<IBDSModuleRecorder>("IBDSModule", "{7FF96161-E610-4414-B8B1-D1ECA76FEAFB}"),
    Case<IBDSEditorRecorder>("IBDSEditor", "{F17A7BD0-E07D-11D1-AB0B-00C04FB16FB3}"),
    Case<IBDSProjectRecorder>("IBDSProject", "{D0090018-D879-41FC-8F83-AA4F40098ACF}"),
    Case<IBDSModuleCreatorRecorder>("IBDSModuleCreator", "{6EDB9B9A-F57A-11D1-AB23-00C04FB16FB3}"),
    Case<IBDSCreatorRecorder>("IBDSCreator", "{6EDB9B9E-F57A-11D1-AB23-00C04FB16FB3}"),
    Case<IBDSFileRecorder>("IBDSFile", "{6E2AD9B0-F7F0-11D1-AB26-00C04FB16FB3}"),
    Case<IBDSFileSystemRecorder>("IBDSFileSystem", "{A9D1389D-F4B0-11D1-AB22-00C04FB16FB3}"),
    Case<IBDSFileFilterRecorder>("IBDSFileFilter", "{14DBB1D5-9802-458E-A8C3-606237708939}"),
    Case<IBDSNotifierRecorder>("IBDSNotifier", "{F17A7BCF-E07D-11D1-AB0B-00C04FB16FB3}"),
    Case<IBDSModuleNotifierRecorder>("IBDSModuleNotifier", "{F17A7BCE-E07D-11D1-AB0B-00C04FB16FB3}"),
    Case<IBDSModuleNotifier80Recorder>("IBDSModuleNotifier80", "{6C4714BB-223A-4CDF-A710-429FE8FA0B91}"),
    Case<IBDSModuleNotifier90Recorder>("IBDSModuleNotifier90", "{53B90D0D-0E70-472A-885E-0566B2711C15}"),
    Case<IBDSEditorNotifierRecorder>("IBDSEditorNotifier", "{0E3B9D7B-E119-11D1-AB0C-00C04FB16FB3}"),
    Case<IBDSEditServicesNotifierRecorder>("IBDSEditServicesNotifier", "{F954AA40-23E7-412C-BD59-CC3428DE2939}"),
    Case<IBDSEditorServices80Recorder>("IBDSEditorServices80", "{F37E8C46-0A02-4FD4-8D57-E55F9A5783EC}"),
};

class InterfaceAbi : public testing::TestWithParam<AbiCase> {};

// Catches a method declared out of its published slot (swapped neighbours,
// a missing or extra method, a base other than IUnknown).
TEST_P(InterfaceAbi, EachSlotReachesItsPublishedMethod) { GetParam().expectSlots(); }

// Catches a mistyped GUID, which would make packages' queries fail.
TEST_P(InterfaceAbi, IidMatchesPublishedText) { EXPECT_EQ(FormatGuid(GetParam().iid), GetParam().iidText); }

std::string CaseName(const testing::TestParamInfo<AbiCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(TalvixBdsInterop, InterfaceAbi, testing::ValuesIn(kBdsInterop), CaseName);
INSTANTIATE_TEST_SUITE_P(WrappedToolsAPI, InterfaceAbi, testing::ValuesIn(kWrappedToolsApi), CaseName);

} // namespace
} // namespace tvx::test
