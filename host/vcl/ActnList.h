// Actions and action lists: the VCL's commands with a caption, a shortcut and
// enabled/visible states, collected in a list that answers shortcuts.
#pragma once

#include "host/vcl/Classes.h"
#include "host/vcl/IdeApi.h"
#include "host/vcl/ShortCuts.h"

#include <vector>

class TCustomActionList;

class TVX_IDE_API TBasicAction : public TComponent {
    TVX_CLASS(TBasicAction, TComponent)

    explicit TBasicAction(TComponent* AOwner = nullptr);

    // Fires OnExecute; false when no handler is assigned.
    virtual bool Execute();
    // Fires OnUpdate, which may change the action's state; false without one.
    virtual bool Update();

    TNotifyEvent OnExecute() const noexcept { return onExecute_; }
    void SetOnExecute(TNotifyEvent Value) noexcept { onExecute_ = Value; }
    TNotifyEvent OnUpdate() const noexcept { return onUpdate_; }
    void SetOnUpdate(TNotifyEvent Value) noexcept { onUpdate_ = Value; }

private:
    TNotifyEvent onExecute_;
    TNotifyEvent onUpdate_;
};

// An action that belongs to an action list (not owned by it: the owner is
// the component given at construction).
class TVX_IDE_API TContainedAction : public TBasicAction {
    TVX_CLASS(TContainedAction, TBasicAction)

    explicit TContainedAction(TComponent* AOwner = nullptr);
    // Leaves its list.
    ~TContainedAction() override;

    TCustomActionList* ActionList() const noexcept { return actionList_; }
    // Moves the action to the end of Value (or out of every list for null).
    void SetActionList(TCustomActionList* Value);
    // The position in its list, -1 outside one.
    int Index() const noexcept;
    const String& Category() const noexcept { return category_; }
    void SetCategory(const String& Value) { category_ = Value; }

private:
    friend class TCustomActionList;
    TCustomActionList* actionList_ = nullptr;
    String category_;
};

class TVX_IDE_API TCustomAction : public TContainedAction {
    TVX_CLASS(TCustomAction, TContainedAction)

    explicit TCustomAction(TComponent* AOwner = nullptr);

    // A disabled action does not execute, whoever asks.
    bool Execute() override;

    const String& Caption() const noexcept { return caption_; }
    void SetCaption(const String& Value) { caption_ = Value; }
    bool Checked() const noexcept { return checked_; }
    void SetChecked(bool Value) noexcept { checked_ = Value; }
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool Value) noexcept { enabled_ = Value; }
    const String& Hint() const noexcept { return hint_; }
    void SetHint(const String& Value) { hint_ = Value; }
    TShortCut ShortCut() const noexcept { return shortCut_; }
    void SetShortCut(TShortCut Value) noexcept { shortCut_ = Value; }
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool Value) noexcept { visible_ = Value; }

private:
    String caption_;
    String hint_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    TShortCut shortCut_ = scNone;
};

// The action that forms and the IDE put into action lists; it publishes its
// properties.
class TVX_IDE_API TAction : public TCustomAction {
    TVX_CLASS(TAction, TCustomAction)

    explicit TAction(TComponent* AOwner = nullptr);
};

class TVX_IDE_API TCustomActionList : public TComponent {
    TVX_CLASS(TCustomActionList, TComponent)

    explicit TCustomActionList(TComponent* AOwner = nullptr);
    // Frees the actions still in the list, as the VCL does.
    ~TCustomActionList() override;

    int ActionCount() const noexcept { return int(actions_.size()); }
    // Raises EListError for an index outside the list.
    TContainedAction* Actions(int Index) const;

    // The key as the form's shortcut handling offers it: the first action
    // whose ShortCut matches handles it (runs if enabled). True when it ran.
    bool IsShortCut(TShortCut ShortCut);

private:
    friend class TContainedAction;
    void AddAction(TContainedAction* Action);
    void RemoveAction(TContainedAction* Action) noexcept;

    std::vector<TContainedAction*> actions_;
};

class TVX_IDE_API TActionList : public TCustomActionList {
    TVX_CLASS(TActionList, TCustomActionList)

    explicit TActionList(TComponent* AOwner = nullptr);
};
