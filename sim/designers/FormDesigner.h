// The IDE's designer of one form, as add-ins reach it through IDesigner.
#pragma once

#include "host/ide/DesignIntf.h"
#include "host/vcl/Classes.h"
#include "interop/InterfacedObject.h"

// The designer of one form. It does not own the form. Each operation sends
// the matching notification to every registered listener, in registration
// order; an error a listener raises stops the rest and reaches the caller.
class TFormDesigner final : public tvx::Implements<TFormDesigner, IDesigner> {
public:
    explicit TFormDesigner(TComponent* Root);
    ~TFormDesigner() override;

    TComponent* GetRoot() override { return root_; }
    void Modified() override;
    int ModifiedCount() const noexcept { return modified_; }

    // Puts Item on the form where the user dropped it: the form takes it
    // over (if it is not the owner already), its DesignInfo becomes the drop
    // point (Y in the high word, X in the low one), and the listeners hear
    // of the insertion. The form keeps the item if a listener raises.
    void InsertComponent(TComponent* Item, int X, int Y);
    // Announces an item that is not a component (a collection item, say).
    void InsertItem(TPersistent* Item);
    // Takes Item off the form after telling the listeners, and frees it.
    void DeleteComponent(TComponent* Item);
    void Open(bool Resurrecting = false);
    void Close(bool GoingDormant = false);

private:
    TComponent* root_;
    int modified_ = 0;
};
