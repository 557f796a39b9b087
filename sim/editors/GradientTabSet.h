// The tab set at the top of an editor window: one tab per file the window
// shows, each TabWidth pixels wide from the left edge, painted with the
// images its handlers answer. Add-ins reach it only by its class name and
// its published properties, so their names and kinds are fixed.
#pragma once

#include "host/vcl/Controls.h"
#include "host/vcl/Forms.h"
#include "host/vcl/ImgList.h"
#include "host/vcl/StringList.h"
#include "host/vcl/Tabs.h"

#include <memory>
#include <vector>

namespace tvx::sim {

class TTabList;

// One tab as the last painting showed it.
struct PaintedTab {
    String Caption;
    int Image = -1;
    int Overlay = -1;
    bool Selected = false;
};

class TIDEGradientTabSet final : public TWinControl {
    TVX_CLASS(TIDEGradientTabSet, TWinControl)

    static constexpr int TabWidth = 100;

    explicit TIDEGradientTabSet(TComponent* AOwner = nullptr);
    ~TIDEGradientTabSet() override;

    // One entry per tab: its caption, and the owner's object for the tab.
    TStrings* Items() const noexcept;
    // Takes the texts and objects of Value.
    void SetItems(TStrings* Value);
    // -1 while no tab is selected.
    int TabIndex() const noexcept { return tabIndex_; }
    // Selects tab Value (-1: none) and raises OnChange when the selection
    // differs; EInvalidOperation outside -1..Count-1.
    void SetTabIndex(int Value);
    // Moves the selection without a word: the selected tab moved to Value
    // (or, for -1, is about to go and OnChange follows once it went).
    void MoveSelection(int Value) noexcept;
    // Raises OnChange, as the VCL's Change does.
    void Change();

    TCustomImageList* Images() const noexcept { return images_; }
    // Watched: the tab set forgets a list that is freed.
    void SetImages(TCustomImageList* Value);

    TNotifyEvent OnChange() const noexcept { return onChange_; }
    void SetOnChange(const TNotifyEvent& Value) noexcept { onChange_ = Value; }
    TTabGetImageEvent OnGetImageIndex() const noexcept { return onGetImageIndex_; }
    void SetOnGetImageIndex(const TTabGetImageEvent& Value) noexcept { onGetImageIndex_ = Value; }
    TTabGetImageEvent OnGetOverlayImageIndex() const noexcept { return onGetOverlayImageIndex_; }
    void SetOnGetOverlayImageIndex(const TTabGetImageEvent& Value) noexcept { onGetOverlayImageIndex_ = Value; }
    TMouseEvent OnMouseDown() const noexcept { return onMouseDown_; }
    void SetOnMouseDown(const TMouseEvent& Value) noexcept { onMouseDown_ = Value; }

    // The tab under a point at X, or -1.
    int TabAt(int X) const noexcept;

    // Asks the image handlers about every tab (each answer starts at -1)
    // and records what it painted. A handler may free the tab set; the
    // painting then stops.
    void Paint();
    // Paints at once.
    void Repaint() override;
    const std::vector<PaintedTab>& Painted() const noexcept { return painted_; }

    // A mouse button goes down at X, Y: OnMouseDown hears it while the old
    // tab is still selected, then a left press selects the tab under it.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TTabList;
    // Someone changed the list: the selection stays within it.
    void ItemsChanged() noexcept;

    std::unique_ptr<TTabList> items_;
    int tabIndex_ = -1;
    TCustomImageList* images_ = nullptr;
    TNotifyEvent onChange_;
    TTabGetImageEvent onGetImageIndex_;
    TTabGetImageEvent onGetOverlayImageIndex_;
    TMouseEvent onMouseDown_;
    std::vector<PaintedTab> painted_;
};

} // namespace tvx::sim
