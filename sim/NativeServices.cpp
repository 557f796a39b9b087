#include "sim/NativeServices.h"

#include "host/vcl/ImgList.h"
#include "host/vcl/SysUtils.h"
#include "sim/SimulatedIde.h"

namespace tvx::sim {

namespace {

IdeMainMenu* MainMenuOf(const SimulatedIde* ide) noexcept { return ide ? ide->Find<IdeMainMenu>() : nullptr; }

IdeToolbars* ToolbarsOf(const SimulatedIde* ide) noexcept { return ide ? ide->Find<IdeToolbars>() : nullptr; }

} // namespace

// Image is a TBitmap, as the IDE's own callers pass it.
int TNativeServices::AddMasked(void* Image, unsigned MaskColor, const String&)
{
    TCustomImageList* images = GetImageList();
    if (!images)
        throw Exception(u"The simulated IDE has no image list");
    return images->AddMasked(static_cast<TBitmap*>(Image), TColor(MaskColor));
}

TCustomActionList* TNativeServices::GetActionList()
{
    IdeMainMenu* menu = MainMenuOf(ide_);
    return menu ? menu->ActionList() : nullptr;
}

TCustomImageList* TNativeServices::GetImageList()
{
    IdeMainMenu* menu = MainMenuOf(ide_);
    return menu ? menu->Images() : nullptr;
}

TMainMenu* TNativeServices::GetMainMenu()
{
    IdeMainMenu* menu = MainMenuOf(ide_);
    return menu ? menu->Menu() : nullptr;
}

TToolBar* TNativeServices::GetToolBar(const String& ToolBarName)
{
    IdeToolbars* toolbars = ToolbarsOf(ide_);
    return toolbars ? toolbars->FindToolBar(ToolBarName) : nullptr;
}

TToolBar* TNativeServices::NewToolbar(const String& Name, const String& Caption, const String& ReferenceToolBar,
                                      bool InsertBeforeReference)
{
    IdeToolbars* toolbars = ToolbarsOf(ide_);
    if (!toolbars)
        throw Exception(u"The simulated IDE has no toolbars");
    return toolbars->NewToolbar(Name, Caption, ReferenceToolBar, InsertBeforeReference);
}

int TNativeServices::AddToolbarStreamNotifier(INTAToolbarStreamNotifier* Notifier)
{
    IdeToolbars* toolbars = ToolbarsOf(ide_);
    return toolbars ? toolbars->AddNotifier(Notifier) : -1;
}

void TNativeServices::RemoveToolbarStreamNotifier(int Index)
{
    if (IdeToolbars* toolbars = ToolbarsOf(ide_))
        toolbars->RemoveNotifier(Index);
}

} // namespace tvx::sim
