// The windows service's takeover of the editor windows' tab sets: a
// package document's tab draws the package's image and no overlay while
// unmodified, and presses on it stay from the IDE; every other tab goes
// through the IDE's own handlers, saved in the editor window's record.
#include "core/StillListed.h"
#include "host/vcl/Graphics.h"
#include "host/vcl/ImgList.h"
#include "host/vcl/Tabs.h"
#include "host/vcl/TypInfo.h"
#include "host/win32/Win32.h"
#include "windows/BdsDocumentWindow.h"
#include "windows/BdsEditWindow.h"
#include "windows/BdsIdeUtils.h"
#include "windows/BdsWindowsService.h"
#include "windows/TalvixFrame.h"

#include <array>

namespace talvix {

namespace {

// Pixels of this magenta are transparent in a package's tab image.
constexpr TColor kDocImageMaskColor = TColor(0xFF00FF);

constexpr std::array<std::u16string_view, 4> kTabSetEvents = {u"OnChange", u"OnGetImageIndex",
                                                              u"OnGetOverlayImageIndex", u"OnMouseDown"};

bool IsPathSeparator(char16_t c) noexcept { return c == u'\\' || c == u'/'; }

// Only document windows are registered in the service's list.
TBdsDocumentWindow* AsDocument(void* item) noexcept
{
    return static_cast<TBdsDocumentWindow*>(static_cast<TBdsCustomDocumentWindow*>(item));
}

std::array<TMethod, 4> ServiceTabSetHandlers(TBdsWindowsService* service)
{
    return {MakeEvent<&TBdsWindowsService::NewTabSetOnChange>(service).Method(),
            MakeEvent<&TBdsWindowsService::NewTabSetOnGetImageIndex>(service).Method(),
            MakeEvent<&TBdsWindowsService::NewTabSetOnGetOverlayImageIndex>(service).Method(),
            MakeEvent<&TBdsWindowsService::NewTabSetOnMouseDown>(service).Method()};
}

std::array<TMethod*, 4> SavedHandlers(TBdsEditWindow& Window)
{
    return {&Window.OldTabSetOnChange, &Window.OldTabSetOnGetImageIndex, &Window.OldTabSetOnGetOverlayImageIndex,
            &Window.OldTabSetOnMouseDown};
}

} // namespace

namespace {

TStrings* AsStrings(TObject* object) noexcept
{
    return object && object->InheritsFrom(TStrings::StaticClass()) ? static_cast<TStrings*>(object) : nullptr;
}

} // namespace

// Through the property the record found by name when it took the tab set over.
TStrings* TBdsWindowsService::TabItems(const TBdsEditWindow& Window)
{
    TComponent* tabSet = Window.TabSet.get();
    if (!tabSet || !Window.TabSetItems)
        return nullptr;
    const TPropValue value = Window.TabSetItems->GetProc(tabSet);
    const auto* object = std::get_if<TObject*>(&value);
    return object ? AsStrings(*object) : nullptr;
}

TObject* TBdsWindowsService::FindModuleTab(TStrings& Items, const String& ModuleID)
{
    TObject* found = nullptr;
    for (int i = Items.Count() - 1; i >= 0; --i) {
        const String caption = Items.Strings(i);
        if (caption.empty() || !ModuleID.ends_with(caption))
            continue;
        // The whole file name: "Unit1.pas" is not the tab of "MyUnit1.pas".
        const std::size_t start = ModuleID.size() - caption.size();
        if (start == 0 || IsPathSeparator(ModuleID[start - 1]))
            found = Items.Objects(i);
    }
    return found;
}

void TBdsWindowsService::SubstituteTabSet(TBdsEditWindow& Window)
{
    TComponent* tabSet = FindEditWindowComponent(u"TIDEGradientTabSet");
    if (!tabSet)
        return;
    // All four or none: a tab set lacking one keeps its own handlers.
    for (std::u16string_view event : kTabSetEvents) {
        const TPropInfo* info = GetPropInfo(tabSet, event);
        if (!info || info->Kind != tkMethod || !info->SetProc)
            return;
    }
    const std::array<TMethod, 4> ours = ServiceTabSetHandlers(this);
    const std::array<TMethod*, 4> saved = SavedHandlers(Window);
    std::array<TMethod, 4> previous;
    for (std::size_t i = 0; i < kTabSetEvents.size(); ++i) {
        previous[i] = GetMethodProp(tabSet, kTabSetEvents[i]);
        // Never one of ours: the handlers would call themselves.
        if (previous[i] == ours[i])
            previous[i] = TMethod{};
    }
    const TPropInfo* items = GetPropInfo(tabSet, u"Items");
    if (!items || items->Kind != tkClass)
        return;
    Window.TabSet.reset(tabSet);
    Window.TabSetItems = items;
    for (std::size_t i = 0; i < kTabSetEvents.size(); ++i) {
        *saved[i] = previous[i];
        SetMethodProp(tabSet, kTabSetEvents[i], ours[i]);
    }
}

void TBdsWindowsService::RestoreTabSet(TBdsEditWindow& Window) noexcept
{
    TComponent* tabSet = Window.TabSet.get();
    Window.TabSet.reset();
    Window.TabSetItems = nullptr;
    if (!tabSet)
        return;
    const std::array<TMethod, 4> ours = ServiceTabSetHandlers(this);
    const std::array<TMethod*, 4> saved = SavedHandlers(Window);
    for (std::size_t i = 0; i < kTabSetEvents.size(); ++i) {
        try {
            // A handler someone installed over ours since stays.
            if (GetMethodProp(tabSet, kTabSetEvents[i]) == ours[i])
                SetMethodProp(tabSet, kTabSetEvents[i], *saved[i]);
        } catch (...) {
        }
        *saved[i] = TMethod{};
    }
}

void TBdsWindowsService::UpdateTabSet(TComponent* TabSet)
{
    if (auto* control = dynamic_cast<TControl*>(TabSet))
        control->Refresh();
}

TBdsEditWindow* TBdsWindowsService::RecordOfFrame(const TTalvixFrame* Frame)
{
    TThreadList::Locked list(FBdsEditWindows);
    for (void* item : *list)
        if (auto* record = static_cast<TBdsEditWindow*>(item); record->Frame == Frame)
            return record;
    return nullptr;
}

TBdsEditWindow* TBdsWindowsService::RecordOfTabSet(const TObject* TabSet, bool Last)
{
    TBdsEditWindow* found = nullptr;
    TThreadList::Locked list(FBdsEditWindows);
    for (void* item : *list) {
        auto* record = static_cast<TBdsEditWindow*>(item);
        if (TabSet && record->TabSet.get() == TabSet) {
            found = record;
            if (!Last)
                break;
        }
    }
    return found;
}

TBdsDocumentWindow* TBdsWindowsService::DocumentOfTab(const TObject* TabObject)
{
    if (!TabObject)
        return nullptr;
    TThreadList::Locked list(DocumentWindows);
    for (void* item : *list)
        if (auto* document = AsDocument(item); document->IdentifiedObject() == TabObject)
            return document;
    return nullptr;
}

TObject* TBdsWindowsService::TabObjectAt(const TBdsEditWindow& Window, int TabIndex)
{
    TStrings* items = TabIndex >= 0 ? TabItems(Window) : nullptr;
    return items && TabIndex < items->Count() ? items->Objects(TabIndex) : nullptr;
}

void TBdsWindowsService::NewTabSetOnChange(TObject* Sender)
{
    tvx::IntfPtr<IBdsWindowsService> self(this);
    TBdsEditWindow* record = RecordOfTabSet(Sender, false);
    TComponent* tabSet = record ? record->TabSet.get() : dynamic_cast<TComponent*>(Sender);
    bool isDocument = false;
    if (tabSet) {
        isDocument = record && DocumentOfTab(TabObjectAt(*record, GetOrdProp(tabSet, u"TabIndex")));
        if (!isDocument) {
            TComponentAlive alive(tabSet);
            FHost.EditorTabSelected();
            if (!alive)
                return;
        }
    }
    if (!isDocument) {
        SetStatusBarPanelVisible(true);
        SetNewEditorCommandVisible(true);
        SetViewEditorMenuItemVisible(true);
    }
    // The listener or the IDE may have closed the editor window meanwhile.
    if ((record = RecordOfTabSet(Sender, false)))
        TNotifyEvent::FromMethod(record->OldTabSetOnChange)(Sender);
}

void TBdsWindowsService::NewTabSetOnGetImageIndex(TObject* Sender, int TabIndex, int& ImageIndex)
{
    TBdsEditWindow* record = RecordOfTabSet(Sender, true);
    if (!record)
        return;
    if (TBdsDocumentWindow* document = DocumentOfTab(TabObjectAt(*record, TabIndex))) {
        // The package may let go of its document while it is asked.
        tvx::IntfPtr<IBdsDocumentWindow> hold(document->Interface());
        if (document->DocImageIndex() < 0)
            AssignDocImage(*record, *record->TabSet.get(), *document);
        ImageIndex = document->DocImageIndex();
        return;
    }
    TTabGetImageEvent::FromMethod(record->OldTabSetOnGetImageIndex)(Sender, TabIndex, ImageIndex);
}

void TBdsWindowsService::AssignDocImage(TBdsEditWindow& Window, TComponent& TabSet,
                                        TBdsDocumentWindow& Document) noexcept
{
    // The package may close the editor window from its callback.
    TComponentAlive tabSetAlive(&TabSet);
    const LONG value = Document.GetIconHandle();
    if (value == 0 || value == -1)
        return;
    const auto bitmap = reinterpret_cast<HBITMAP>(static_cast<LONG_PTR>(value));
    // Not a live bitmap: nothing of ours to take over or delete.
    if (GetObjectType(bitmap) != OBJ_BITMAP)
        return;
    TBitmap image;
    try {
        if (tabSetAlive && IsListed(&Window) && Document.BdsEditWindow() == &Window) {
            if (auto* images = dynamic_cast<TCustomImageList*>(GetObjectProp(&TabSet, u"Images"))) {
                if (Window.ImageList.get() != images) {
                    // Indexes freed in another list mean nothing in this one.
                    Window.ImageList.reset(images);
                    Window.FreeImageIndexes.clear();
                }
                image.SetHandle(bitmap);
                if (!Window.FreeImageIndexes.empty()) {
                    const int index = Window.FreeImageIndexes.back();
                    images->ReplaceMasked(index, &image, kDocImageMaskColor);
                    Window.FreeImageIndexes.pop_back();
                    Document.SetDocImageIndex(index);
                } else {
                    Document.SetDocImageIndex(images->AddMasked(&image, kDocImageMaskColor));
                }
            }
        }
    } catch (...) {
        // No image this time; the package is asked again at the next drawing.
    }
    // The library owns the package's bitmap once it has asked for it.
    image.ReleaseHandle();
    DeleteObject(bitmap);
}

void TBdsWindowsService::NewTabSetOnGetOverlayImageIndex(TObject* Sender, int TabIndex, int& ImageIndex)
{
    TBdsEditWindow* record = RecordOfTabSet(Sender, true);
    if (!record)
        return;
    if (TObject* tab = TabObjectAt(*record, TabIndex)) {
        TThreadList::Locked list(DocumentWindows);
        for (void* item : *list) {
            TBdsDocumentWindow* document = AsDocument(item);
            if (document->IdentifiedObject() == tab && !document->Modified()) {
                ImageIndex = -1;
                return;
            }
        }
    }
    TTabGetImageEvent::FromMethod(record->OldTabSetOnGetOverlayImageIndex)(Sender, TabIndex, ImageIndex);
}

// The tab selected when the button goes down decides, not the one under
// the mouse.
void TBdsWindowsService::NewTabSetOnMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TBdsEditWindow* record = RecordOfTabSet(Sender, false);
    if (!record)
        return;
    if (TComponent* tabSet = record->TabSet.get())
        if (DocumentOfTab(TabObjectAt(*record, GetOrdProp(tabSet, u"TabIndex"))))
            return;
    TMouseEvent::FromMethod(record->OldTabSetOnMouseDown)(Sender, Button, Shift, X, Y);
}

} // namespace talvix
