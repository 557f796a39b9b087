#include "sim/NativeServices.h"

#include "host/vcl/SysUtils.h"

namespace tvx::sim {

// The parts that own images and toolbars fill these in; until then the IDE
// has none.
int TNativeServices::AddMasked(void*, unsigned, const String&)
{
    throw Exception(u"The simulated IDE has no image list yet");
}

TToolBar* TNativeServices::GetToolBar(const String&)
{
    return nullptr;
}

TToolBar* TNativeServices::NewToolbar(const String&, const String&, const String&, bool)
{
    throw Exception(u"The simulated IDE has no toolbars yet");
}

int TNativeServices::AddToolbarStreamNotifier(INTAToolbarStreamNotifier*)
{
    return -1;
}

void TNativeServices::RemoveToolbarStreamNotifier(int)
{
}

} // namespace tvx::sim
