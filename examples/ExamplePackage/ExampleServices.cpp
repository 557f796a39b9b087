// The example package's use of the services root. Everything it learns goes
// to the debugger output, where the simulated IDE's report shows it.
#include "ExampleServices.h"

#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"
#include "interop/TalvixBdsConstants.h"
#include "interop/VariantBool.h"

#include <string>

namespace {

using namespace tvx::bds;

void Log(const std::u16string& line)
{
    std::u16string text = u"ExampleServices: " + line;
    OutputDebugStringW(tvx::AsOleChar(text.c_str()));
}

std::u16string Number(LONG value)
{
    std::string s = std::to_string(value);
    return std::u16string(s.begin(), s.end());
}

// The key as menus print it, for the log.
std::u16string KeyText(LONG keyData)
{
    std::u16string text;
    if (keyData & kKeyDataShift)
        text += u"Shift+";
    if (keyData & kKeyDataControl)
        text += u"Ctrl+";
    if (keyData & kKeyDataAlt)
        text += u"Alt+";
    const LONG key = keyData & 0xFFFF;
    if (key >= kVkF1 && key <= VkF(24))
        return text + u"F" + Number(key - kVkF1 + 1);
    if ((key >= 0x30 && key <= 0x39) || (key >= 0x41 && key <= 0x5A))
        return text + char16_t(key);
    return text + u"key " + Number(key);
}

tvx::IntfPtr<IBdsServices>& Services()
{
    static tvx::IntfPtr<IBdsServices> services;
    return services;
}

bool IsIdeShortcut(LONG keyData)
{
    VARIANT_BOOL answer = VARIANT_FALSE;
    return Services() && SUCCEEDED(Services()->IsShortcut(keyData, &answer)) && tvx::FromVariantBool(answer);
}

// Sees every message of the IDE's loop. It follows the modifier keys itself
// and takes Shift+F1 (help on the example) and Ctrl+Shift+F1 (the example's
// help collection) away from the IDE; every other key it only looks at.
class ExampleMessageHandler final : public tvx::Implements<ExampleMessageHandler, IMessageHandler> {
public:
    HRESULT STDMETHODCALLTYPE HandleMessage(MSG* Msg, VARIANT_BOOL* CallPrevious, VARIANT_BOOL* Handled) override
    {
        return tvx::Guarded([&] {
            if (!Msg || !CallPrevious || !Handled)
                return;
            const bool down = Msg->message == kMsgKeyDown || Msg->message == kMsgSysKeyDown;
            const bool up = Msg->message == kMsgKeyUp || Msg->message == kMsgSysKeyUp;
            if (!down && !up)
                return;
            if (Track(Msg->wParam, down))
                return;
            if (!down)
                return;
            const LONG keyData = LONG(Msg->wParam & 0xFFFF) | modifiers_;
            if (keyData == KeyData(kVkF1, kKeyDataShift))
                ShowHelp(Handled, CallPrevious, false);
            else if (keyData == KeyData(kVkF1, kKeyDataShift | kKeyDataControl))
                ShowHelp(Handled, CallPrevious, true);
            else
                Log(KeyText(keyData) + (IsIdeShortcut(keyData) ? u" is an IDE shortcut" : u" is not an IDE shortcut"));
        });
    }

private:
    // True for a modifier key, whose state it notes.
    bool Track(WPARAM key, bool down)
    {
        LONG bit = LONG(key) == kVkShift     ? kKeyDataShift
                   : LONG(key) == kVkControl ? kKeyDataControl
                   : LONG(key) == kVkMenu    ? kKeyDataAlt
                                             : 0;
        if (!bit)
            return false;
        modifiers_ = down ? (modifiers_ | bit) : (modifiers_ & ~bit);
        return true;
    }

    void ShowHelp(VARIANT_BOOL* Handled, VARIANT_BOOL* CallPrevious, bool collection)
    {
        tvx::IntfPtr<IBdsHelpService> help;
        if (FAILED(Services()->Get_BdsHelpService(help.put())) || !help)
            return;
        if (collection) {
            tvx::Bstr url(u"ms-help://Talvix.Example/index.htm");
            help->ShowHelpByURL(url.get());
            Log(u"opened the example's help collection");
        } else {
            tvx::Bstr keyword(u"TalvixExample");
            help->ShowHelpByKeyword(keyword.get());
            Log(u"asked for help on TalvixExample");
        }
        // The IDE neither shows its own help nor hears of the key.
        *Handled = VARIANT_TRUE;
        *CallPrevious = VARIANT_FALSE;
    }

    LONG modifiers_ = 0;
};

// Where the example's palette drops land: buttons stack in a column at the
// form's left, every other class keeps the IDE's position.
class ExampleDragDropHelper final : public tvx::Implements<ExampleDragDropHelper, IDragDropHelper> {
public:
    explicit ExampleDragDropHelper(LONG top) : top_(top) {}
    HRESULT STDMETHODCALLTYPE Execute() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Left(LONG* pRetVal) override { return pRetVal ? (*pRetVal = 24, S_OK) : E_POINTER; }
    HRESULT STDMETHODCALLTYPE get_Top(LONG* pRetVal) override { return pRetVal ? (*pRetVal = top_, S_OK) : E_POINTER; }

private:
    LONG top_;
};

class ExampleDragDropProvider final : public tvx::Implements<ExampleDragDropProvider, IDragDropHelperProvider> {
public:
    HRESULT STDMETHODCALLTYPE GetDragDropHelper(BSTR ClassName, IUnknown** Helper) override
    {
        if (!Helper)
            return E_POINTER;
        *Helper = nullptr;
        return tvx::Guarded([&] {
            if (tvx::BstrView(ClassName) != u"TButton")
                return;
            const LONG top = 40 + 32 * buttons_++;
            *Helper = tvx::NewInterface<ExampleDragDropHelper, IUnknown>(top);
            Log(u"drag-and-drop helper places a TButton at left 24, top " + Number(top));
        });
    }

private:
    LONG buttons_ = 0;
};

// The root keeps both without a reference; the package keeps them alive for
// as long as it is loaded.
tvx::IntfPtr<IMessageHandler>& Handler()
{
    static tvx::IntfPtr<IMessageHandler> handler;
    return handler;
}

tvx::IntfPtr<IDragDropHelperProvider>& Provider()
{
    static tvx::IntfPtr<IDragDropHelperProvider> provider;
    return provider;
}

void AddEntries(IBdsServices* services)
{
    tvx::Bstr caption(u"Talvix Example Package 1.0");
    tvx::Bstr license(u"Trial, 30 days left");
    tvx::Bstr sku(u"Professional");
    HRESULT hr = services->AddSplashInfo(nullptr, caption.get(), license.get(), VARIANT_TRUE, sku.get());
    Log(u"splash line added: " + std::u16string(SUCCEEDED(hr) ? u"yes" : u"no"));

    tvx::Bstr dialogTitle(u"About Talvix Example Package");
    tvx::Bstr copyright(u"Copyright (c) 2011 Talvix");
    tvx::Bstr title(u"Talvix Example Package");
    tvx::Bstr description(u"Shows what a product package can do through the Talvix Products Loader.");
    hr = services->AddAboutBoxInfo(nullptr, nullptr, dialogTitle.get(), copyright.get(), title.get(), description.get(),
                                   license.get(), VARIANT_TRUE, sku.get());
    Log(u"About box entry added: " + std::u16string(SUCCEEDED(hr) ? u"yes" : u"no"));
}

} // namespace

void StartExampleServices(IBdsServices* services)
{
    if (!services)
        return;
    Services() = services;

    tvx::Bstr edition;
    VARIANT_BOOL personality = VARIANT_FALSE;
    services->get_BdsEdition(edition.put());
    services->get_IsPersonalityEdition(&personality);
    Log(u"IDE edition " + edition.str() + (tvx::FromVariantBool(personality) ? u", personality edition" : u""));

    AddEntries(services);

    Handler().attach(tvx::NewInterface<ExampleMessageHandler, IMessageHandler>());
    Provider().attach(tvx::NewInterface<ExampleDragDropProvider, IDragDropHelperProvider>());
    services->AddMessageHandler(Handler().get());
    services->AddDragDropHelper(Provider().get());

    // The example has no managed side: its services are up at once.
    services->OnDotNetServicesInitialized();
    Log(u"reported its .NET services initialized");
}

void ExampleServicesReady()
{
    // The IDE's shortcuts are collected after every package has heard of
    // the services; asked here, the answer is always no.
    for (LONG keyData : {KeyData('S', kKeyDataControl), KeyData(VkF(9))})
        Log(u"OnServicesReady: " + KeyText(keyData) +
            (IsIdeShortcut(keyData) ? u" is an IDE shortcut" : u" is not an IDE shortcut yet"));
}

void StopExampleServices() { Services() = nullptr; }
