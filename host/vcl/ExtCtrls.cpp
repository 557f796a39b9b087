#include "host/vcl/ExtCtrls.h"

#include "host/vcl/TypInfo.h"

TVX_DEFINE_CLASS(TPanel, Published<&TPanel::Caption, &TPanel::SetCaption>(u"Caption"))

TPanel::TPanel(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 185, 41); }
