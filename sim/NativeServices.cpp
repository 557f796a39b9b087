#include "sim/NativeServices.h"

#include "host/vcl/ImgList.h"
#include "host/vcl/SysUtils.h"
#include "sim/IdeToolbars.h"

namespace tvx::sim {

// Image is a TBitmap, as the IDE's own callers pass it.
int TNativeServices::AddMasked(void* Image, unsigned MaskColor, const String&)
{
    if (!ImageList)
        throw Exception(u"The simulated IDE has no image list");
    return ImageList->AddMasked(static_cast<TBitmap*>(Image), TColor(MaskColor));
}

// The IDE's toolbars answer these; without them the IDE has none.
TToolBar* TNativeServices::GetToolBar(const String& ToolBarName)
{
    return Toolbars ? Toolbars->FindToolBar(ToolBarName) : nullptr;
}

TToolBar* TNativeServices::NewToolbar(const String& Name, const String& Caption, const String& ReferenceToolBar,
                                      bool InsertBeforeReference)
{
    if (!Toolbars)
        throw Exception(u"The simulated IDE has no toolbars");
    return Toolbars->NewToolbar(Name, Caption, ReferenceToolBar, InsertBeforeReference);
}

int TNativeServices::AddToolbarStreamNotifier(INTAToolbarStreamNotifier* Notifier)
{
    return Toolbars ? Toolbars->AddNotifier(Notifier) : -1;
}

void TNativeServices::RemoveToolbarStreamNotifier(int Index)
{
    if (Toolbars)
        Toolbars->RemoveNotifier(Index);
}

} // namespace tvx::sim
