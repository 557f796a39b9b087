#include "toolsapi/BDSEditorWrapper.h"

#include "core/WrapperCall.h"
#include "toolsapi/BDSAnyNotifierWrapper.h"
#include "toolsapi/ToolsApiCalls.h"

#include <utility>

namespace talvix {

TBDSEditorWrapper::TBDSEditorWrapper(tvx::IntfPtr<IOTAEditor> Editor, tvx::IntfPtr<IBDSModule> Module)
    : s(std::move(Editor)), m(std::move(Module))
{}

IOTAEditor& TBDSEditorWrapper::Editor() const
{
    if (!s)
        throw tvx::HResultError(E_FAIL, u"The editor has been dismissed");
    return *s;
}

void TBDSEditorWrapper::Dismiss() { s = nullptr; }

PWideChar TBDSEditorWrapper::GetFileName()
{
    return Answer<PWideChar>([&] { return NewText(Editor().GetFileName()); });
}

LongBool TBDSEditorWrapper::GetModified()
{
    return Answer<LongBool>([&] { return ToLongBool(Editor().GetModified()); });
}

HRESULT TBDSEditorWrapper::GetModule(IBDSModule** pRetVal)
{
    // The package's own module wrapper, also after Dismiss: the host's
    // answer would be a new wrapper, or null once the module closed.
    return ReadIfLive(true, pRetVal, [&] {
        IBDSModule* module = nullptr;
        m.copy_to(&module);
        return module;
    });
}

LongBool TBDSEditorWrapper::MarkModified()
{
    return Answer<LongBool>([&] { return ToLongBool(Editor().MarkModified()); });
}

void TBDSEditorWrapper::Show()
{
    Perform([&] { Editor().Show(); });
}

LONG TBDSEditorWrapper::AddNotifier(IBDSNotifier* ANotifier)
{
    return AnswerIndex([&] {
        IOTAEditor& editor = Editor();
        auto notifier = TBDSAnyNotifierWrapper::Create(ANotifier);
        return editor.AddNotifier(notifier->EditorNotifier());
    });
}

void TBDSEditorWrapper::RemoveNotifier(LONG Index)
{
    Perform([&] { Editor().RemoveNotifier(Index); });
}

} // namespace talvix
