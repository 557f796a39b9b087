#include "host/ide/DeskUtil.h"

#include "host/ide/DeskForm.h"
#include "host/vcl/TypInfo.h"

#include <algorithm>
#include <mutex>

TVX_DEFINE_CLASS(TDesktopForm)
TVX_DEFINE_CLASS(TDockableForm)

TRegisterFieldAddressProc RegisterFieldAddress = nullptr;
TUnregisterFieldAddressProc UnregisterFieldAddress = nullptr;

namespace {

std::mutex classesLock;
std::vector<TDesktopFormClass> classes;

} // namespace

void RegisterDesktopFormClass(TClass FormClass, const String& Name, const String& InstanceName)
{
    std::lock_guard guard(classesLock);
    auto known = std::find_if(classes.begin(), classes.end(),
                              [&](const TDesktopFormClass& c) { return SameText(c.Name, Name); });
    if (known != classes.end())
        *known = TDesktopFormClass{FormClass, Name, InstanceName};
    else
        classes.push_back(TDesktopFormClass{FormClass, Name, InstanceName});
}

std::vector<TDesktopFormClass> DesktopFormClasses()
{
    std::lock_guard guard(classesLock);
    return classes;
}

void ClearDesktopFormClasses()
{
    std::lock_guard guard(classesLock);
    classes.clear();
}

void FocusWindow(TWinControl* Window)
{
    if (!Window)
        return;
    TComponentAlive alive(Window);
    for (TWinControl* c = Window; c; c = c->Parent())
        if (auto* form = dynamic_cast<TCustomForm*>(c)) {
            form->Activate();
            break;
        }
    if (alive && Window->Showing())
        Window->SetFocus();
}

void TDockableForm::ForceShow()
{
    for (TWinControl* host = Parent(); host; host = host->Parent())
        if (!host->Visible())
            host->Show();
    Show();
}
