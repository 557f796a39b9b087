// Small stand-ins for both sides of the Tools API mirrors: host objects that
// record what reached them (and can be told to raise on every call), and
// package objects that answer what a test sets.
#pragma once

#include "host/ide/ToolsAPIServices.h"
#include "host/vcl/SysUtils.h"
#include "interop/WrappedToolsAPI.h"
#include "tests/support/TestSupport.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tvx::test {

// Records each host call by name; `raise` makes every call fail as the IDE's do.
struct HostCalls {
    std::vector<std::string> calls;
    bool raise = false;
    void Hit(const char* name)
    {
        calls.push_back(name);
        if (raise)
            throw Exception(u"host refused");
    }
};

class HostEditor final : public Implements<HostEditor, IOTAEditor>, public HostCalls {
public:
    String GetFileName() override { return Hit("GetFileName"), u"C:\\Unit1.pas"; }
    bool GetModified() override { return Hit("GetModified"), true; }
    bool MarkModified() override { return Hit("MarkModified"), true; }
    void Show() override { Hit("Show"); }
    IntfPtr<IOTAModule> GetModule() override { return Hit("GetModule"), nullptr; }
    int AddNotifier(IOTANotifier* n) override { return Hit("AddNotifier"), notifiers.push_back(n), 7; }
    void RemoveNotifier(int) override { Hit("RemoveNotifier"); }
    std::vector<IntfPtr<IOTANotifier>> notifiers;
};

class HostModule final : public Implements<HostModule, IOTAModule>, public HostCalls {
public:
    String GetFileName() override { return Hit("GetFileName"), name; }
    void SetFileName(const String& n) override { Hit("SetFileName"), name = n; }
    String GetFileSystem() override { return Hit("GetFileSystem"), u""; }
    void SetFileSystem(const String&) override { Hit("SetFileSystem"); }
    bool HasCoClasses() override { return Hit("HasCoClasses"), true; }
    int GetModuleFileCount() override { return Hit("GetModuleFileCount"), 1; }
    IntfPtr<IOTAEditor> GetModuleFileEditor(int i) override
    {
        Hit("GetModuleFileEditor");
        if (i != 0)
            throw Exception(u"List index out of bounds");
        return editor.get();
    }
    void AddToInterface() override { Hit("AddToInterface"); }
    int AddNotifier(IOTAModuleNotifier* n) override { return Hit("AddNotifier"), notifiers.push_back(n), 5; }
    void RemoveNotifier(int i) override { Hit("RemoveNotifier"), removed = i; }
    bool Save(bool c, bool f) override { return Hit("Save"), saved = {c, f}, true; }
    bool Close() override { return Hit("Close"), true; }
    bool CloseModule(bool) override { return Hit("CloseModule"), true; }
    IntfPtr<IOTAEditor> GetCurrentEditor() override { return Hit("GetCurrentEditor"), editor.get(); }
    int GetOwnerModuleCount() override { return Hit("GetOwnerModuleCount"), 0; }
    IntfPtr<IOTAModule> GetOwnerModule(int) override { return Hit("GetOwnerModule"), nullptr; }
    void MarkModified() override { Hit("MarkModified"); }
    void Show() override { Hit("Show"); }
    void ShowFilename(const String&) override { Hit("ShowFilename"); }

    String name = u"C:\\Unit1.pas";
    IntfPtr<HostEditor> editor{new HostEditor()};
    std::vector<IntfPtr<IOTAModuleNotifier>> notifiers;
    std::vector<bool> saved;
    int removed = -2;
};

class HostModuleServices final : public Implements<HostModuleServices, IOTAModuleServices>, public HostCalls {
public:
    int GetModuleCount() override { return Hit("GetModuleCount"), 1; }
    IntfPtr<IOTAModule> GetModule(int) override { return Hit("GetModule"), module.get(); }
    IntfPtr<IOTAModule> FindModule(const String&) override { return Hit("FindModule"), module.get(); }
    IntfPtr<IOTAModule> CurrentModule() override { return Hit("CurrentModule"), module.get(); }
    IntfPtr<IOTAModule> FindFormModule(const String&) override { return Hit("FindFormModule"), nullptr; }
    bool NewModule() override { return Hit("NewModule"), true; }
    IntfPtr<IOTAModule> CreateModule(IOTACreator* c) override { return Hit("CreateModule"), creator = c, module.get(); }
    void GetNewModuleAndClassName(const String& prefix, String& u, String& c, String& f) override
    {
        Hit("GetNewModuleAndClassName");
        u = prefix + u"Unit2", c = u"TForm2", f = u"C:\\Unit2.pas";
    }
    bool SaveAll() override { return Hit("SaveAll"), false; }
    bool CloseAll() override { return Hit("CloseAll"), true; }
    int AddFileSystem(IOTAFileSystem* fs) override { return Hit("AddFileSystem"), fileSystem = fs, 3; }
    void RemoveFileSystem(int) override { Hit("RemoveFileSystem"); }

    IntfPtr<HostModule> module{new HostModule()};
    IntfPtr<IOTACreator> creator;
    IntfPtr<IOTAFileSystem> fileSystem;
};

class HostEditorServices final : public Implements<HostEditorServices, IOTAEditorServices>, public HostCalls {
public:
    IntfPtr<IOTAEditView> GetTopView() override { return nullptr; }
    int AddNotifier(INTAEditServicesNotifier* n) override { return Hit("AddNotifier"), notifier = n, 9; }
    void RemoveNotifier(int i) override { Hit("RemoveNotifier"), removed = i; }
    IntfPtr<INTAEditServicesNotifier> notifier;
    int removed = -2;
};

// An object of no interest to anyone, standing for a package's wrong object.
class Unrelated final : public Implements<Unrelated, IStream> {};

class PackageFile final : public Implements<PackageFile, IBDSFile> {
public:
    PWideChar STDMETHODCALLTYPE GetSource() override { return source; }
    std::int64_t STDMETHODCALLTYPE GetAge() override { return age; }
    OLECHAR source[6] = u"unit;";
    std::int64_t age = 1;
};

class PackageCreator final : public Implements<PackageCreator, IBDSModuleCreator> {
public:
    PWideChar STDMETHODCALLTYPE GetCreatorType() override { return type; }
    LongBool STDMETHODCALLTYPE GetExisting() override { return 256; }
    PWideChar STDMETHODCALLTYPE GetFileSystem() override { return nullptr; }
    LongBool STDMETHODCALLTYPE GetUnnamed() override { return 0; }
    HRESULT STDMETHODCALLTYPE GetOwner(IUnknown** owner) override
    {
        owner_->AddRef();
        *owner = owner_.get();
        return S_OK;
    }
    PWideChar STDMETHODCALLTYPE GetAncestorName() override { throw std::runtime_error("package bug"); }
    PWideChar STDMETHODCALLTYPE GetImplFileName() override { return nullptr; }
    PWideChar STDMETHODCALLTYPE GetIntfFileName() override { return nullptr; }
    PWideChar STDMETHODCALLTYPE GetFormName() override { return nullptr; }
    LongBool STDMETHODCALLTYPE GetMainForm() override { return 0; }
    LongBool STDMETHODCALLTYPE GetShowForm() override { return 0; }
    LongBool STDMETHODCALLTYPE GetShowSource() override { return -1; }
    HRESULT STDMETHODCALLTYPE NewFormFile(BSTR, BSTR, IBDSFile** file) override { return *file = nullptr, S_OK; }
    HRESULT STDMETHODCALLTYPE NewImplSource(BSTR module, BSTR, BSTR, IBDSFile** file) override
    {
        moduleIdent = tvx::BstrView(module);
        file_.copy_to(file);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE NewIntfSource(BSTR, BSTR, BSTR, IBDSFile**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FormCreated(IUnknown* editor) override { return formEditor = editor, S_OK; }

    OLECHAR type[5] = u"Form";
    IntfPtr<IStream> owner_{new Unrelated()};
    IntfPtr<IBDSFile> file_{new PackageFile()};
    std::u16string moduleIdent;
    IUnknown* formEditor = SentinelPointer<IUnknown>();
};

class Stream final : public Implements<Stream, IStream> {};

class PackageFileSystem final : public Implements<PackageFileSystem, IBDSFileSystem, IBDSFileFilter> {
public:
    PWideChar STDMETHODCALLTYPE GetIDString() override { return id; }
    HRESULT STDMETHODCALLTYPE GetFilter(IBDSFileFilter** filter) override { return *filter = this, AddRef(), S_OK; }
    LongBool STDMETHODCALLTYPE IsFileBased() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetFileStream(BSTR, LONG, IStream** out) override { return stream.copy_to(out), S_OK; }
    LONG STDMETHODCALLTYPE FileAge(BSTR) override { return 0x4A21635B; }
    LongBool STDMETHODCALLTYPE RenameFile(BSTR, BSTR) override { return -1; }
    LongBool STDMETHODCALLTYPE IsReadonly(BSTR) override { return 256; }
    LongBool STDMETHODCALLTYPE DeleteFile(BSTR) override { throw std::runtime_error("package bug"); }
    LongBool STDMETHODCALLTYPE FileExists(BSTR) override { return 0x101; }
    PWideChar STDMETHODCALLTYPE GetTempFileName(BSTR) override { return nullptr; }
    PWideChar STDMETHODCALLTYPE GetBackupFileName(BSTR) override { return id; }
    PWideChar STDMETHODCALLTYPE GetDisplayName() override { return id; }
    HRESULT STDMETHODCALLTYPE GetStream(BSTR, IStream* in, IStream** out) override
    {
        return *out = in, in->AddRef(), S_OK;
    }
    LongBool STDMETHODCALLTYPE HandlesStream(BSTR, IStream*) override { return 0x200; }

    OLECHAR id[4] = u"zip";
    IntfPtr<IStream> stream{new Stream()};
};

// Answers only the module notifier mirror.
class ModuleOnlyNotifier final : public Implements<ModuleOnlyNotifier, IBDSModuleNotifier> {
public:
    LongBool STDMETHODCALLTYPE CheckOverwrite() override { return 0; }
    HRESULT STDMETHODCALLTYPE ModuleRenamed(BSTR name) override { return renamed = tvx::BstrView(name), S_OK; }
    std::u16string renamed;
};

class SaveNotifier final : public Implements<SaveNotifier, IBDSNotifier, IBDSEditorNotifier> {
public:
    LongBool STDMETHODCALLTYPE AfterSave() override { throw std::runtime_error("package bug"); }
    LongBool STDMETHODCALLTYPE BeforeSave() override { return beforeSave; }
    HRESULT STDMETHODCALLTYPE Destroyed() override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE Modified() override { return ++modified, S_OK; }
    HRESULT STDMETHODCALLTYPE ViewNotification(IUnknown* view, LONG op) override { return seen = {view, op}, S_OK; }
    HRESULT STDMETHODCALLTYPE ViewActivated(IUnknown*) override { return S_OK; }
    LongBool beforeSave = 0;
    int modified = 0;
    std::pair<IUnknown*, LONG> seen{SentinelPointer<IUnknown>(), -1};
};

class EditServicesNotifier final : public Implements<EditServicesNotifier, IBDSEditServicesNotifier> {
public:
    LongBool STDMETHODCALLTYPE AfterSave() override { return 1; }
    LongBool STDMETHODCALLTYPE BeforeSave() override { return 0; }
    HRESULT STDMETHODCALLTYPE Destroyed() override { throw std::runtime_error("package bug"); }
    HRESULT STDMETHODCALLTYPE Modified() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE WindowShow(IUnknown* w, ByteBool show, ByteBool) override
    {
        return windows.push_back(w), shown = show, S_OK;
    }
    HRESULT STDMETHODCALLTYPE WindowNotification(IUnknown* w, LONG op) override
    {
        return windows.push_back(w), ops.push_back(op), S_OK;
    }
    HRESULT STDMETHODCALLTYPE WindowActivated(IUnknown*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE WindowCommand(IUnknown*, LONG, LONG, ByteBool* handled) override
    {
        return *handled = 1, S_OK;
    }
    HRESULT STDMETHODCALLTYPE EditorViewActivated(IUnknown*, IUnknown*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EditorViewModified(IUnknown*, IUnknown*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DockFormVisibleChanged(IUnknown* w, IUnknown* f) override
    {
        return windows.push_back(w), windows.push_back(f), S_OK;
    }
    HRESULT STDMETHODCALLTYPE DockFormUpdated(IUnknown*, IUnknown*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DockFormRefresh(IUnknown*, IUnknown*) override { return S_OK; }
    std::vector<IUnknown*> windows;
    std::vector<LONG> ops;
    ByteBool shown = 7;
};

// A package object passed as an interface it may not have, as a package
// written without type checks would.
template <class I, class T>
I* Posing(T* object)
{
    return reinterpret_cast<I*>(object->Identity());
}

} // namespace tvx::test
