#include "windows/BdsIdeUtils.h"

#include "host/ide/NTAServices.h"
#include "host/vcl/ActnList.h"
#include "host/vcl/ComCtrls.h"
#include "host/vcl/Forms.h"
#include "host/vcl/Menus.h"
#include "host/vcl/TypInfo.h"

namespace talvix {

namespace {

// `BorlandIDEServices as I`: raises when the IDE lacks the service.
template <class I>
tvx::IntfPtr<I> IdeService()
{
    if (!BorlandIDEServices)
        throw EIntfCastError(String(SIntfCastError));
    return IntfCast<I>(BorlandIDEServices);
}

bool IsClass(const TObject* object, std::u16string_view ClassName) noexcept
{
    return object->ClassType()->ClassName() == ClassName;
}

TComponent* FindComponentOfClass(const TComponent& owner, std::u16string_view ClassName)
{
    for (int i = 0; i < owner.ComponentCount(); ++i)
        if (TComponent* component = owner.Components(i); IsClass(component, ClassName))
            return component;
    return nullptr;
}

tvx::IntfPtr<INTAEditWindow> EditWindowOf(const tvx::IntfPtr<IOTAEditView>& view)
{
    return view ? view->GetEditWindow() : nullptr;
}

TCustomForm* FormOf(const tvx::IntfPtr<IOTAEditView>& view)
{
    tvx::IntfPtr<INTAEditWindow> window = EditWindowOf(view);
    return window ? window->GetForm() : nullptr;
}

// The IDE's own top view, without the module fallback.
tvx::IntfPtr<IOTAEditView> IdeTopView() { return IdeService<IOTAEditorServices>()->GetTopView(); }

tvx::IntfPtr<IOTAEditView> FirstView(const tvx::IntfPtr<IOTAEditor>& editor)
{
    tvx::IntfPtr<IOTASourceEditor> source;
    if (!editor || !Supports(editor.get(), source) || source->GetEditViewCount() <= 0)
        return nullptr;
    return source->GetEditView(0);
}

} // namespace

// Every file editor of a module is tried, not only its last one: a unit's
// last file is its form, which has no source views.
tvx::IntfPtr<IOTAEditView> GetTopEditView()
{
    if (tvx::IntfPtr<IOTAEditView> view = IdeTopView())
        return view;
    tvx::IntfPtr<IOTAModuleServices> modules = IdeService<IOTAModuleServices>();
    const int count = modules->GetModuleCount();
    for (int m = 0; m < count; ++m) {
        tvx::IntfPtr<IOTAModule> module = modules->GetModule(m);
        if (!module)
            continue;
        const int files = module->GetModuleFileCount();
        for (int f = 0; f < files; ++f)
            if (tvx::IntfPtr<IOTAEditView> view = FirstView(module->GetModuleFileEditor(f)))
                return view;
    }
    return nullptr;
}

TStatusBar* GetEditWindowStatusBar()
{
    tvx::IntfPtr<INTAEditWindow> window = EditWindowOf(GetTopEditView());
    return window ? window->GetStatusBar() : nullptr;
}

void SetStatusBarPanelVisible(bool Visible)
{
    if (TStatusBar* statusBar = GetEditWindowStatusBar())
        if (TWinControl* panel = statusBar->Parent())
            panel->SetVisible(Visible);
}

TComponent* FindEditWindowComponent(std::u16string_view ClassName)
{
    TCustomForm* form = FormOf(GetTopEditView());
    return form ? FindComponentOfClass(*form, ClassName) : nullptr;
}

TWinControl* FindObjectInspectorHost() noexcept
{
    try {
        if (!Application)
            return nullptr;
        for (int i = 0; i < Application->ComponentCount(); ++i) {
            TComponent* component = Application->Components(i);
            if (!IsClass(component, u"TPropertyInspector"))
                continue;
            // The walk ends at the first match, whether or not the chain holds.
            TWinControl* host = dynamic_cast<TWinControl*>(component);
            for (int up = 0; up < 3 && host; ++up)
                host = host->Parent();
            return host;
        }
    } catch (...) {
        // Any error inside the walk means no host.
    }
    return nullptr;
}

TWinControl* EditControlParentOf(const TCustomForm& EditWindow)
{
    auto* editControl = dynamic_cast<TControl*>(FindComponentOfClass(EditWindow, u"TEditControl"));
    return editControl ? editControl->Parent() : nullptr;
}

TWinControl* GetEditControlParent()
{
    TCustomForm* form = FormOf(IdeTopView());
    return form ? EditControlParentOf(*form) : nullptr;
}

tvx::IntfPtr<IOTAModule> FindDocumentModule(const String& ModuleID, int Index)
{
    tvx::IntfPtr<IOTAModuleServices> modules = IdeService<IOTAModuleServices>();
    if (Index < 0 || Index >= modules->GetModuleCount())
        return nullptr;
    tvx::IntfPtr<IOTAModule> module = modules->GetModule(Index);
    if (!module || module->GetFileName() != ModuleID)
        module = modules->FindModule(ModuleID);
    return module;
}

void SetNewEditorCommandVisible(bool Visible)
{
    TCustomActionList* actions = IdeService<INTAServices>()->GetActionList();
    if (!actions)
        return;
    for (int i = 0; i < actions->ActionCount(); ++i) {
        TContainedAction* action = actions->Actions(i);
        if (action->Name() != u"ViewNewEditorCommand")
            continue;
        if (auto* custom = dynamic_cast<TCustomAction*>(action))
            custom->SetVisible(Visible);
        return;
    }
}

void SetViewEditorMenuItemVisible(bool Visible)
{
    TCustomForm* form = FormOf(IdeTopView());
    if (!form)
        return;
    TComponent* messageView = FindComponentOfClass(*form, u"TMessageViewForm");
    if (!messageView)
        return;
    auto* popup = dynamic_cast<TPopupMenu*>(GetObjectProp(messageView, u"PopupMenu"));
    if (!popup)
        return;
    if (TMenuItem* item = popup->Items()->Find(u"View Editor"))
        item->SetVisible(Visible);
}

} // namespace talvix
