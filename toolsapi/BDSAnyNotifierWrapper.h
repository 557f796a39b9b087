// A package's notifier as the IDE's module and editor notifiers. The package
// object may answer any of the notifier mirrors; each notification asks it
// for the one it needs at that moment and holds it for the call only, so a
// package that adds or drops an interface later is heard accordingly.
#pragma once

#include "host/ide/ToolsAPIModules.h"
#include "interop/InterfacedObject.h"
#include "interop/WrappedToolsAPI.h"

namespace talvix {

class TBDSAnyNotifierWrapper final
    : public tvx::Implements<TBDSAnyNotifierWrapper, IOTAModuleNotifier90, IOTAEditorNotifier> {
public:
    // A wrapper over `Notifier`; raises E_NOINTERFACE for null or an object
    // that answers none of the notifier mirrors, which would hear nothing.
    static tvx::IntfPtr<TBDSAnyNotifierWrapper> Create(IUnknown* Notifier);

    IOTAModuleNotifier* ModuleNotifier() noexcept { return static_cast<IOTAModuleNotifier90*>(this); }
    IOTANotifier* EditorNotifier() noexcept { return static_cast<IOTAEditorNotifier*>(this); }

    // IOTANotifier
    void AfterSave() override;
    void BeforeSave() override;
    void Destroyed() override;
    void Modified() override;
    // IOTAModuleNotifier
    bool CheckOverwrite() override;
    void ModuleRenamed(const String& NewName) override;
    // IOTAModuleNotifier80
    bool AllowSave() override;
    int GetOverwriteFileNameCount() override;
    String GetOverwriteFileName(int Index) override;
    void SetSaveFileName(const String& FileName) override;
    // IOTAModuleNotifier90
    void BeforeRename(const String& OldFileName, const String& NewFileName) override;
    void AfterRename(const String& OldFileName, const String& NewFileName) override;
    // IOTAEditorNotifier
    void ViewNotification(IOTAEditView* View, TOperation Operation) override;
    void ViewActivated(IOTAEditView* View) override;

private:
    explicit TBDSAnyNotifierWrapper(IUnknown* Notifier);

    // Calls `call` with the package's I, or answers `fallback` when the
    // package lacks it or its call throws.
    template <class I, class R, class Call>
    R Ask(R fallback, Call&& call) noexcept;
    template <class I, class Call>
    void Tell(Call&& call) noexcept;

    tvx::IntfPtr<IUnknown> s;
};

} // namespace talvix
