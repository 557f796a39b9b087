#include "host/vcl/ActnList.h"

#include "host/vcl/Lists.h"
#include "host/vcl/TypInfo.h"

#include <algorithm>

TVX_DEFINE_CLASS(TBasicAction)
TVX_DEFINE_CLASS(TContainedAction)
TVX_DEFINE_CLASS(TCustomAction)
TVX_DEFINE_CLASS(TAction, Published<&TCustomAction::Caption, &TCustomAction::SetCaption>(u"Caption"),
                 Published<&TContainedAction::Category, &TContainedAction::SetCategory>(u"Category"),
                 Published<&TCustomAction::Checked, &TCustomAction::SetChecked>(u"Checked"),
                 Published<&TCustomAction::Enabled, &TCustomAction::SetEnabled>(u"Enabled"),
                 Published<&TCustomAction::Hint, &TCustomAction::SetHint>(u"Hint"),
                 Published<&TCustomAction::ShortCut, &TCustomAction::SetShortCut>(u"ShortCut"),
                 Published<&TCustomAction::Visible, &TCustomAction::SetVisible>(u"Visible"),
                 Published<&TBasicAction::OnExecute, &TBasicAction::SetOnExecute>(u"OnExecute"),
                 Published<&TBasicAction::OnUpdate, &TBasicAction::SetOnUpdate>(u"OnUpdate"))
TVX_DEFINE_CLASS(TCustomActionList)
TVX_DEFINE_CLASS(TActionList)

// --- TBasicAction ---------------------------------------------------------

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

bool TBasicAction::Execute()
{
    if (!onExecute_)
        return false;
    onExecute_(this);
    return true;
}

bool TBasicAction::Update()
{
    if (!onUpdate_)
        return false;
    onUpdate_(this);
    return true;
}

// --- TContainedAction -----------------------------------------------------

TContainedAction::TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TContainedAction::~TContainedAction() { SetActionList(nullptr); }

void TContainedAction::SetActionList(TCustomActionList* Value)
{
    if (Value == actionList_)
        return;
    if (actionList_)
        actionList_->RemoveAction(this);
    if (Value)
        Value->AddAction(this);
}

int TContainedAction::Index() const noexcept
{
    if (!actionList_)
        return -1;
    const auto& list = actionList_->actions_;
    return int(std::find(list.begin(), list.end(), this) - list.begin());
}

// --- TCustomAction and TAction --------------------------------------------

TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

bool TCustomAction::Execute()
{
    // OnUpdate may disable the action just before it would run.
    Update();
    return enabled_ && TContainedAction::Execute();
}

TAction::TAction(TComponent* AOwner) : TCustomAction(AOwner) {}

// --- TCustomActionList ----------------------------------------------------

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomActionList::~TCustomActionList()
{
    // Each action takes itself out of the list as it goes.
    while (!actions_.empty())
        actions_.back()->Free();
}

TContainedAction* TCustomActionList::Actions(int Index) const
{
    if (Index < 0 || Index >= ActionCount())
        throw EListError(Format(SListIndexError, Index));
    return actions_[std::size_t(Index)];
}

bool TCustomActionList::IsShortCut(TShortCut ShortCut)
{
    if (ShortCut == scNone)
        return false;
    for (TContainedAction* action : actions_) {
        auto* custom = dynamic_cast<TCustomAction*>(action);
        if (custom && custom->ShortCut() == ShortCut)
            return custom->Execute();
    }
    return false;
}

void TCustomActionList::AddAction(TContainedAction* Action)
{
    actions_.push_back(Action);
    Action->actionList_ = this;
}

void TCustomActionList::RemoveAction(TContainedAction* Action) noexcept
{
    auto it = std::find(actions_.begin(), actions_.end(), Action);
    if (it != actions_.end())
        actions_.erase(it);
    Action->actionList_ = nullptr;
}

TActionList::TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
