#include "services/BdsDesignerNotifier.h"

#include "host/ide/ToolsAPI.h"
#include "host/vcl/SysUtils.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"
#include "services/TalvixBdsServices.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace talvix {

int DesignInfoOf(LONG left, LONG top) noexcept
{
    // Left is cut to its word, so that a position left of the form cannot
    // spill into Top.
    return int((std::uint32_t(top) << 16) | (std::uint32_t(left) & 0xFFFFu));
}

TDragDropDesignerNotifier* TDragDropDesignerNotifier::Create(TBdsServices& root)
{
    // Registered once it holds itself: the designers take references.
    auto* notifier = tvx::LifetimeRegistry::Create<TDragDropDesignerNotifier>(root);
    RegisterDesignNotification(notifier);
    notifier->registered_ = true;
    return notifier;
}

TDragDropDesignerNotifier::TDragDropDesignerNotifier(TBdsServices& root) : root_(root)
{
    if (BorlandIDEServices) {
        // A host without module services leaves the field null; nothing here
        // reads it yet.
        tvx::IntfPtr<IUnknown> service = BorlandIDEServices->GetService(tvx::IidOf<IOTAModuleServices>);
        FModuleServices = service.try_as<IOTAModuleServices>();
    }
}

TDragDropDesignerNotifier::~TDragDropDesignerNotifier() { Unregister(); }

void TDragDropDesignerNotifier::Unregister() noexcept
{
    if (std::exchange(registered_, false))
        UnregisterDesignNotification(this);
}

void TDragDropDesignerNotifier::ItemInserted(IDesigner*, TPersistent* AItem)
{
    auto* component = dynamic_cast<TComponent*>(AItem);
    if (!component)
        return;
    // A copy: a provider may register another one while it is asked.
    const std::vector<IDragDropHelperProvider*> providers = root_.DragDropHelpers();
    const tvx::Bstr className(component->ClassName());
    for (IDragDropHelperProvider* provider : providers) {
        // Only the out value counts, whatever the provider answers; one that
        // throws has answered nothing.
        tvx::IntfPtr<IUnknown> answer;
        try {
            provider->GetDragDropHelper(className.get(), answer.put());
        } catch (...) {
            answer = nullptr;
        }
        if (!answer)
            continue;
        // What a failing query leaves in its out value is not a reference.
        void* found = nullptr;
        OleCheck(tvx::CallIntoPackage([&] { return answer->QueryInterface(tvx::IidOf<IDragDropHelper>, &found); }));
        auto helper = tvx::IntfPtr<IDragDropHelper>::Attach(static_cast<IDragDropHelper*>(found));
        if (!helper)
            continue;
        // A step that throws fails as E_FAIL does.
        LONG left = 0;
        LONG top = 0;
        OleCheck(tvx::CallIntoPackage([&] { return helper->Execute(); }));
        OleCheck(tvx::CallIntoPackage([&] { return helper->get_Left(&left); }));
        OleCheck(tvx::CallIntoPackage([&] { return helper->get_Top(&top); }));
        component->SetDesignInfo(DesignInfoOf(left, top));
        return;
    }
}

// The IDE's other designer events mean nothing to drag and drop.
void TDragDropDesignerNotifier::ItemDeleted(IDesigner*, TPersistent*) {}
void TDragDropDesignerNotifier::ItemsModified(IDesigner*) {}
void TDragDropDesignerNotifier::SelectionChanged(IDesigner*, IDesignerSelections*) {}
void TDragDropDesignerNotifier::DesignerOpened(IDesigner*, bool) {}
void TDragDropDesignerNotifier::DesignerClosed(IDesigner*, bool) {}

} // namespace talvix
