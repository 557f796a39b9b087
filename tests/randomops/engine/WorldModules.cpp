// The random run's modules through the Tools API mirrors: notifiers added
// and removed by the package (some cancel saves, throw, or take themselves
// off while told something), the user's saves, renames, changes and closes,
// and editors got, called and dismissed.
#include "interop/Bstr.h"
#include "sim/Scenario.h"
#include "tests/randomops/engine/World.h"

namespace tvx::randomops {

namespace {

const char* const kModuleFiles[] = {"Unit1.pas", "Project1.dpr", "Main.pas", "Notes.pas", "Unit2.pas"};

// How many references the object has besides the caller's probe.
ULONG References(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

} // namespace

PWideChar HarnessModuleNotifier::GetOverwriteFileName(LONG)
{
    Event();
    return const_cast<OLECHAR*>(AsOleChar(u"C:\\Projects\\Demo\\Backup.pas"));
}

LongBool HarnessModuleNotifier::Event()
{
    switch (behaviour_ % 7) {
    case 3: world_.RemoveNotifierFromInside(this); break;
    case 5: throw std::runtime_error("notifier fault");
    default: break;
    }
    return 1;
}

void World::RemoveNotifierFromInside(HarnessModuleNotifier* notifier)
{
    for (auto it = registrations_.begin(); it != registrations_.end(); ++it) {
        if (it->Notifier != notifier)
            continue;
        NotifierRegistration registration = *it;
        registrations_.erase(it);
        registration.Module->RemoveNotifier(registration.Index);
        return;
    }
}

void World::AddModuleNotifier(const Op& op)
{
    const LONG count = modules_->ModuleCount();
    IntfPtr<IBDSModule> module;
    if (count <= 0 || modules_->GetModule(LONG(op.A % std::uint32_t(count)), module.put()) != S_OK || !module)
        return;
    auto notifier = IntfPtr<HarnessModuleNotifier>(new HarnessModuleNotifier(*this, op.B));
    notifiers_.push_back(notifier);
    const LONG index = module->AddNotifier(static_cast<IBDSModuleNotifier*>(notifier.get()));
    TVX_RANDOMOPS_CHECK(index >= -1, "AddNotifier", "AddNotifier answered " + std::to_string(index));
    if (index >= 0)
        registrations_.push_back({module, index, notifier.get()});
}

void World::ModuleStep(const Op& op)
{
    sim::IdeModules& modules = ide_->Modules();
    sim::IdeEditorWindows& editors = ide_->EditorWindows();
    const std::string file = kModuleFiles[op.B % std::size(kModuleFiles)];
    switch (op.A % 7) {
    case 0: modules.SaveModuleStep(file); break;
    case 1: modules.SaveAllStep(); break;
    case 2: modules.RenameModuleStep(file, kModuleFiles[op.C % std::size(kModuleFiles)]); break;
    case 3: editors.ModifyModule(file); break;
    case 4: editors.CloseModule(file); break;
    case 5: modules.NewModuleStep(); break;
    case 6: editors.OpenModule(file, nullptr); break;
    }
}

void World::CallModuleEditor(const Op& op)
{
    if (editorHolds_.empty())
        return;
    IntfPtr<IBDSEditor> editor = editorHolds_[op.A % editorHolds_.size()];
    switch (op.B % 6) {
    case 0: editor->Dismiss(); break;
    case 1: SysFreeString(editor->GetFileName()); break;
    case 2: editor->MarkModified(); break;
    case 3: {
        IntfPtr<IBDSModule> module;
        HRESULT hr = editor->GetModule(module.put());
        TVX_RANDOMOPS_CHECK(hr == S_OK && module, "EditorModule", "an editor lost its module: " + Hex(hr));
        break;
    }
    case 4: {
        auto notifier = IntfPtr<HarnessModuleNotifier>(new HarnessModuleNotifier(*this, op.C));
        notifiers_.push_back(notifier);
        editor->AddNotifier(static_cast<IBDSNotifier*>(notifier.get()));
        break;
    }
    case 5: editorHolds_.erase(editorHolds_.begin() + std::ptrdiff_t(op.A % editorHolds_.size())); break;
    }
}

void World::CheckNotifiersReleased()
{
    for (const auto& notifier : notifiers_)
        TVX_RANDOMOPS_CHECK(References(static_cast<IBDSNotifier*>(notifier.get())) == 1, "NotifierReleased",
                            "the IDE kept a package's notifier after it shut down");
}

} // namespace tvx::randomops
