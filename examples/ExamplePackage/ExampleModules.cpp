#include "ExampleModules.h"

#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"
#include "interop/WrappedToolsAPI.h"

#include <bit>
#include <cstdint>
#include <string>

namespace {

void Log(const std::u16string& line)
{
    std::u16string text = u"ExampleModules: " + line;
    OutputDebugStringW(tvx::AsOleChar(text.c_str()));
}

std::u16string Text(BSTR text) { return std::u16string(tvx::BstrView(text)); }

// A text result stays the package's: these live as long as the library.
OLECHAR* Static(const char16_t* text) { return const_cast<OLECHAR*>(tvx::AsOleChar(text)); }

// Hears the saves, changes and renames of one module; each save goes ahead.
class ModuleListener final
    : public tvx::Implements<ModuleListener, IBDSNotifier, IBDSModuleNotifier, IBDSModuleNotifier90> {
public:
    LongBool STDMETHODCALLTYPE AfterSave() override { return Heard(u"AfterSave"); }
    LongBool STDMETHODCALLTYPE BeforeSave() override { return Heard(u"BeforeSave"); }
    HRESULT STDMETHODCALLTYPE Destroyed() override { return Heard(u"Destroyed"), S_OK; }
    HRESULT STDMETHODCALLTYPE Modified() override { return Heard(u"Modified"), S_OK; }
    LongBool STDMETHODCALLTYPE CheckOverwrite() override { return Heard(u"CheckOverwrite"); }
    HRESULT STDMETHODCALLTYPE ModuleRenamed(BSTR NewName) override
    {
        return Heard(u"ModuleRenamed " + Text(NewName)), S_OK;
    }
    HRESULT STDMETHODCALLTYPE BeforeRename(BSTR OldFileName, BSTR NewFileName) override
    {
        return Heard(u"BeforeRename " + Text(OldFileName) + u" -> " + Text(NewFileName)), S_OK;
    }
    HRESULT STDMETHODCALLTYPE AfterRename(BSTR OldFileName, BSTR NewFileName) override
    {
        return Heard(u"AfterRename " + Text(OldFileName) + u" -> " + Text(NewFileName)), S_OK;
    }

private:
    static LongBool Heard(const std::u16string& what)
    {
        Log(u"module notifier: " + what);
        return 1;
    }
};

// Hears what the editor windows do; leaves every command to the IDE.
class EditorWindowListener final : public tvx::Implements<EditorWindowListener, IBDSEditServicesNotifier> {
public:
    LongBool STDMETHODCALLTYPE AfterSave() override { return Heard(u"AfterSave"); }
    LongBool STDMETHODCALLTYPE BeforeSave() override { return Heard(u"BeforeSave"); }
    HRESULT STDMETHODCALLTYPE Destroyed() override { return Heard(u"Destroyed"), S_OK; }
    HRESULT STDMETHODCALLTYPE Modified() override { return Heard(u"Modified"), S_OK; }
    HRESULT STDMETHODCALLTYPE WindowShow(IUnknown*, ByteBool Show, ByteBool) override
    {
        return Heard(Show ? u"WindowShow shown" : u"WindowShow hidden"), S_OK;
    }
    HRESULT STDMETHODCALLTYPE WindowNotification(IUnknown*, LONG Operation) override
    {
        return Heard(Operation == 0 ? u"WindowNotification opened" : u"WindowNotification closed"), S_OK;
    }
    HRESULT STDMETHODCALLTYPE WindowActivated(IUnknown*) override { return Heard(u"WindowActivated"), S_OK; }
    HRESULT STDMETHODCALLTYPE WindowCommand(IUnknown*, LONG Command, LONG Param, ByteBool*) override
    {
        return Heard(u"WindowCommand " + std::u16string(Number(Command)) + u" " + Number(Param)), S_OK;
    }
    HRESULT STDMETHODCALLTYPE EditorViewActivated(IUnknown*, IUnknown*) override
    {
        return Heard(u"EditorViewActivated"), S_OK;
    }
    HRESULT STDMETHODCALLTYPE EditorViewModified(IUnknown*, IUnknown*) override
    {
        return Heard(u"EditorViewModified"), S_OK;
    }
    HRESULT STDMETHODCALLTYPE DockFormVisibleChanged(IUnknown*, IUnknown*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DockFormUpdated(IUnknown*, IUnknown*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DockFormRefresh(IUnknown*, IUnknown*) override { return S_OK; }

private:
    static std::u16string Number(LONG value)
    {
        std::string digits = std::to_string(value);
        return std::u16string(digits.begin(), digits.end());
    }
    static LongBool Heard(const std::u16string& what)
    {
        Log(u"editor windows: " + what);
        return 1;
    }
};

// The unit's source, handed over once.
class NotesSource final : public tvx::Implements<NotesSource, IBDSFile> {
public:
    PWideChar STDMETHODCALLTYPE GetSource() override
    {
        return Static(u"unit ExampleNotes;\r\n\r\n// Made by the Talvix example package.\r\n\r\n"
                      u"interface\r\n\r\nimplementation\r\n\r\nend.\r\n");
    }
    // 8 December 2026, noon.
    std::int64_t STDMETHODCALLTYPE GetAge() override { return std::bit_cast<std::int64_t>(46364.5); }
};

// Also the plain creator the module services take, whose five methods are
// the module creator's first.
class NotesCreator final : public tvx::Implements<NotesCreator, IBDSCreator, IBDSModuleCreator> {
public:
    PWideChar STDMETHODCALLTYPE GetCreatorType() override { return Static(u"Unit"); }
    LongBool STDMETHODCALLTYPE GetExisting() override { return 0; }
    PWideChar STDMETHODCALLTYPE GetFileSystem() override { return Static(u""); }
    LongBool STDMETHODCALLTYPE GetUnnamed() override { return 0; }
    HRESULT STDMETHODCALLTYPE GetOwner(IUnknown** pRetVal) override { return tvx::ClearOut(pRetVal); }
    PWideChar STDMETHODCALLTYPE GetAncestorName() override { return Static(u""); }
    PWideChar STDMETHODCALLTYPE GetImplFileName() override { return Static(u"C:\\Projects\\Demo\\ExampleNotes.pas"); }
    PWideChar STDMETHODCALLTYPE GetIntfFileName() override { return Static(u""); }
    PWideChar STDMETHODCALLTYPE GetFormName() override { return Static(u""); }
    LongBool STDMETHODCALLTYPE GetMainForm() override { return 0; }
    LongBool STDMETHODCALLTYPE GetShowForm() override { return 0; }
    LongBool STDMETHODCALLTYPE GetShowSource() override { return 1; }
    HRESULT STDMETHODCALLTYPE NewFormFile(BSTR, BSTR, IBDSFile** pRetVal) override { return tvx::ClearOut(pRetVal); }
    HRESULT STDMETHODCALLTYPE NewImplSource(BSTR ModuleIdent, BSTR, BSTR, IBDSFile** pRetVal) override
    {
        if (!pRetVal)
            return E_POINTER;
        Log(u"the IDE asks for the source of " + Text(ModuleIdent));
        *pRetVal = tvx::NewInterface<NotesSource, IBDSFile>();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE NewIntfSource(BSTR, BSTR, BSTR, IBDSFile** pRetVal) override
    {
        return tvx::ClearOut(pRetVal);
    }
    HRESULT STDMETHODCALLTYPE FormCreated(IUnknown*) override { return S_OK; }
};

struct State {
    tvx::IntfPtr<IBDSModuleServices70> modules;
    tvx::IntfPtr<IBDSModule> watched;
    LONG moduleNotifier = -1;
    tvx::IntfPtr<IBDSEditorServices80> editors;
    LONG editorNotifier = -1;
};

State& Current()
{
    static State state;
    return state;
}

template <class I>
tvx::IntfPtr<I> Service(IBdsServices* services)
{
    tvx::IntfPtr<IUnknown> found;
    if (FAILED(services->GetService(tvx::IidOf<I>, found.put())) || !found)
        return nullptr;
    return found.try_as<I>();
}

} // namespace

void StartExampleModules(IBdsServices* services)
{
    tvx::Guarded([&] {
        State& state = Current();
        if (!services || !(state.modules = Service<IBDSModuleServices70>(services))) {
            Log(u"no module services");
            return;
        }
        if (SUCCEEDED(state.modules->GetCurrentModule(state.watched.put())) && state.watched) {
            auto listener =
                tvx::IntfPtr<IBDSModuleNotifier>::Attach(tvx::NewInterface<ModuleListener, IBDSModuleNotifier>());
            state.moduleNotifier = state.watched->AddNotifier(listener.get());
            BSTR name = state.watched->GetFileName();
            Log(u"listening to " + Text(name));
            SysFreeString(name);
        }
        if ((state.editors = Service<IBDSEditorServices80>(services))) {
            auto listener = tvx::IntfPtr<IBDSEditServicesNotifier>::Attach(
                tvx::NewInterface<EditorWindowListener, IBDSEditServicesNotifier>());
            state.editorNotifier = state.editors->AddNotifier(listener.get());
        }
    });
}

void CreateExampleUnit()
{
    tvx::Guarded([&] {
        State& state = Current();
        if (!state.modules)
            return;
        auto creator = tvx::IntfPtr<IBDSCreator>::Attach(tvx::NewInterface<NotesCreator, IBDSCreator>());
        tvx::IntfPtr<IBDSModule> made;
        if (FAILED(state.modules->CreateModule(creator.get(), made.put())) || !made) {
            Log(u"CreateModule made nothing");
            return;
        }
        BSTR name = made->GetFileName();
        Log(u"made " + Text(name));
        SysFreeString(name);
    });
}

void StopExampleModules()
{
    State& state = Current();
    if (state.watched && state.moduleNotifier >= 0)
        state.watched->RemoveNotifier(state.moduleNotifier);
    if (state.editors && state.editorNotifier >= 0)
        state.editors->RemoveNotifier(state.editorNotifier);
    state = State{};
}
