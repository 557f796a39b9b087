// The windows service's record of one IDE editor window that shows package
// documents: the document frame laid over its code editor and the tab set
// whose events the service took over.
#pragma once

#include "host/vcl/Classes.h"
#include "host/vcl/Events.h"

#include <memory>
#include <vector>

class TCustomForm;
struct TPropInfo;
class TCustomImageList;
class TStatusBar;
class TTalvixFrame;

namespace talvix {

// A component pointer that turns null when the IDE frees the component.
template <class T>
class TWatchedComponent {
public:
    T* get() const noexcept { return alive_ && *alive_ ? component_ : nullptr; }
    void reset(T* Component = nullptr)
    {
        component_ = Component;
        alive_ = Component ? std::make_unique<TComponentAlive>(Component) : nullptr;
    }

private:
    T* component_ = nullptr;
    std::unique_ptr<TComponentAlive> alive_;
};

struct TBdsEditWindow {
    // The editor window whose form this record belongs to: how a later
    // DocumentFrameOnTop finds the record again, wherever its frame sits.
    TWatchedComponent<TCustomForm> EditWindow;
    // The tab set taken over, or none.
    TWatchedComponent<TComponent> TabSet;
    // Its "Items" property, looked up by name once: its handlers read it for
    // every tab at every repaint.
    const TPropInfo* TabSetItems = nullptr;
    // The editor window's status bar; its parent is hidden while the frame shows.
    TWatchedComponent<TStatusBar> StatusBar;
    // The IDE frees it with the editor window; the record ends then.
    TTalvixFrame* Frame = nullptr;
    TMethod OldTabSetOnChange;
    TMethod OldTabSetOnGetImageIndex;
    TMethod OldTabSetOnGetOverlayImageIndex;
    TMethod OldTabSetOnMouseDown;
    // Indexes in ImageList that ended documents left, reused last in, first
    // out; they belong to that list alone.
    TWatchedComponent<TCustomImageList> ImageList;
    std::vector<int> FreeImageIndexes;
};

} // namespace talvix
