// The emulated window manager: classes, creation and destruction,
// parenting, visibility, position, styles, enabling, focus and text.
#include "host/win32/Win32.h"
#include "host/win32/WindowEmulation.h"
#include "interop/Utf.h"
#include "tests/support/TestSupport.h"

#include <string>
#include <vector>

namespace {

using namespace tvx::test;

// Every message any window of the test class receives, as "<tag> <msg>".
std::vector<std::string>& Messages()
{
    static std::vector<std::string> messages;
    return messages;
}

std::string Tag(HWND window)
{
    char16_t text[64]{};
    GetWindowTextW(window, text, 64);
    return tvx::Utf16ToUtf8(text);
}

const char* MessageName(UINT msg)
{
    switch (msg) {
    case WM_NCCREATE: return "NCCREATE";
    case WM_CREATE: return "CREATE";
    case WM_DESTROY: return "DESTROY";
    case WM_NCDESTROY: return "NCDESTROY";
    case WM_SHOWWINDOW: return "SHOWWINDOW";
    case WM_ENABLE: return "ENABLE";
    case WM_MOVE: return "MOVE";
    case WM_SIZE: return "SIZE";
    case WM_WINDOWPOSCHANGED: return "WINDOWPOSCHANGED";
    case WM_SETFOCUS: return "SETFOCUS";
    case WM_KILLFOCUS: return "KILLFOCUS";
    default: return nullptr;
    }
}

// WM_ACTIVATE as "<tag> active" or "<tag> inactive".
std::vector<std::string>& Activations()
{
    static std::vector<std::string> activations;
    return activations;
}

// Whether `lower` comes after `upper` in their z-order.
bool Below(HWND lower, HWND upper)
{
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == lower)
            return true;
    return false;
}

// What a test window does with WM_CREATE, WM_DESTROY; null: nothing extra.
LRESULT (*CreateAnswer)(HWND) = nullptr;
void (*OnDestroy)(HWND) = nullptr;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (const char* name = MessageName(msg); name && msg != WM_NCCREATE)
        Messages().push_back(Tag(hwnd) + " " + name);
    if (msg == WM_ACTIVATE)
        Activations().push_back(Tag(hwnd) + (LOWORD(wParam) == WA_INACTIVE ? " inactive" : " active"));
    if (msg == WM_CREATE && CreateAnswer)
        return CreateAnswer(hwnd);
    if (msg == WM_DESTROY && OnDestroy)
        OnDestroy(hwnd);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Messages().clear();
        CreateAnswer = nullptr;
        OnDestroy = nullptr;
        WNDCLASSW wc{};
        wc.lpfnWndProc = &RecordingProc;
        wc.cbWndExtra = 8;
        wc.lpszClassName = tvx::AsOleChar(u"TestWindow");
        WNDCLASSW existing{};
        if (!GetClassInfoW(GetModuleHandleW(nullptr), u"TestWindow", &existing)) {
            ASSERT_NE(RegisterClassW(&wc), 0);
        }
        baseline = tvx::win32::LiveWindowCount();
    }

    static HWND Make(const char16_t* tag, HWND parent = nullptr, DWORD style = WS_CHILD | WS_VISIBLE)
    {
        if (!parent)
            style &= ~DWORD(WS_CHILD);
        return CreateWindowExW(0, u"TestWindow", tag, style, 10, 20, 100, 50, parent, nullptr, nullptr, nullptr);
    }

    std::size_t baseline = 0;
};

// Catches a second class of one name (in any case) in one module, a class
// unregistered under its windows, modules that cannot share a class name,
// and a lookup without a module that finds more than the system's classes.
TEST_F(WindowTest, ClassesAreUniqueByNameAndOutliveNoWindow)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;
    wc.lpszClassName = tvx::AsOleChar(u"testwindow");
    SetLastError(0);
    EXPECT_EQ(RegisterClassW(&wc), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));

    WNDCLASSW info{};
    EXPECT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), u"TESTWINDOW", &info));
    EXPECT_EQ(info.lpfnWndProc, &RecordingProc);
    // GetClassInfo: "To retrieve information about classes defined by the
    // system ..., set this parameter to NULL."
    EXPECT_FALSE(GetClassInfoW(nullptr, u"TestWindow", &info));
    EXPECT_TRUE(GetClassInfoW(nullptr, u"ComboBox", &info));
    EXPECT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), u"ComboBox", &info));

    const auto library = reinterpret_cast<HINSTANCE>(std::uintptr_t(0x7E000000));
    wc.hInstance = library;
    EXPECT_NE(RegisterClassW(&wc), 0) << "another module's class of the same name";
    EXPECT_TRUE(GetClassInfoW(library, u"TestWindow", &info));
    EXPECT_EQ(info.lpfnWndProc, &DefWindowProcW);
    EXPECT_TRUE(UnregisterClassW(u"TestWindow", library));

    HWND window = Make(u"w");
    EXPECT_FALSE(UnregisterClassW(u"TestWindow", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_HAS_WINDOWS));
    char16_t name[32]{};
    EXPECT_EQ(GetClassNameW(window, name, 32), 10);
    EXPECT_EQ(std::u16string(name), u"TestWindow");
    DestroyWindow(window);
}

// Catches windows made against the rules, and creation answers that leave
// a window behind.
TEST_F(WindowTest, CreationFollowsTheRules)
{
    SetLastError(0);
    EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    // Windows: ERROR_CANNOT_FIND_WND_CLASS, "Cannot find window class" (System
    // Error Codes 1300-1699); Wine says ERROR_CLASS_DOES_NOT_EXIST (1411).
    EXPECT_EQ(GetLastError(), DWORD(OnWine() ? 1411 : ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_EQ(CreateWindowExW(0, u"TestWindow", u"", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_TLW_WITH_WSCHILD));
    EXPECT_EQ(CreateWindowExW(0, u"TestWindow", u"", WS_CHILD, 0, 0, 1, 1, reinterpret_cast<HWND>(0x1234), nullptr,
                              nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));

    CreateAnswer = [](HWND) -> LRESULT { return -1; };
    EXPECT_EQ(Make(u"refused"), nullptr);
    EXPECT_EQ(tvx::win32::LiveWindowCount(), baseline);
    // A window whose creation failed was never there to destroy: no WM_DESTROY.
    EXPECT_EQ(Messages(), (std::vector<std::string>{"refused CREATE", "refused NCDESTROY"}));
}

// Catches handles that do not fit the 32 bits packages carry, are zero,
// or come back after their window went.
TEST_F(WindowTest, HandlesAreSmallAndNeverReused)
{
    HWND first = Make(u"a");
    auto value = reinterpret_cast<std::uintptr_t>(first);
    EXPECT_NE(value, 0u);
    EXPECT_LT(value, 0x80000000u);
    DestroyWindow(first);
    EXPECT_FALSE(IsWindow(first));
    HWND second = Make(u"b");
    EXPECT_NE(second, first);
    DestroyWindow(second);
}

// Catches child windows (foreign ones included) that outlive their parent,
// owned windows that outlive their owner, and the wrong message order.
TEST_F(WindowTest, DestroyingAWindowDestroysItsChildrenAndOwnedWindows)
{
    HWND parent = Make(u"parent");
    HWND child = Make(u"child", parent);
    HWND grandchild = Make(u"grandchild", child);
    HWND owned = Make(u"owned", parent, WS_POPUP);
    // A window of another module, parented in afterwards.
    HWND foreign = CreateWindowExW(0, u"Static", u"foreign", 0, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    SetParent(foreign, grandchild);
    EXPECT_EQ(tvx::win32::LiveWindowCount(), baseline + 5);
    Messages().clear();

    EXPECT_TRUE(DestroyWindow(parent));
    for (HWND gone : {parent, child, grandchild, owned, foreign})
        EXPECT_FALSE(IsWindow(gone));
    EXPECT_EQ(tvx::win32::LiveWindowCount(), baseline);
    // Hidden first, then destroyed.
    EXPECT_EQ(Messages(), (std::vector<std::string>{"parent WINDOWPOSCHANGED", "owned DESTROY", "owned NCDESTROY",
                                                    "parent DESTROY", "child DESTROY", "grandchild DESTROY",
                                                    "grandchild NCDESTROY", "child NCDESTROY", "parent NCDESTROY"}));
    EXPECT_FALSE(DestroyWindow(parent));
    // Wine checks the window's thread before the handle and answers
    // ERROR_ACCESS_DENIED; Windows: "Invalid window handle".
    EXPECT_EQ(GetLastError(), DWORD(OnWine() ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE));
}

// Catches a procedure that destroys another window (or itself again)
// while it is being destroyed.
TEST_F(WindowTest, ProceduresMayDestroyWindowsWhileOneGoes)
{
    static HWND other;
    HWND parent = Make(u"parent");
    Make(u"child", parent);
    other = Make(u"other");
    OnDestroy = [](HWND hwnd) {
        DestroyWindow(hwnd);
        if (IsWindow(other))
            DestroyWindow(other);
    };
    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(other));
    EXPECT_EQ(tvx::win32::LiveWindowCount(), baseline);
}

// Catches a parent change that loses the old parent, accepts a cycle, or
// does not follow the window into the new parent's destruction.
TEST_F(WindowTest, SetParentMovesTheWindowAndRefusesCycles)
{
    HWND a = Make(u"a");
    HWND b = Make(u"b");
    HWND child = Make(u"child", a);
    EXPECT_EQ(GetParent(child), a);
    EXPECT_EQ(SetParent(child, b), a);
    EXPECT_EQ(GetParent(child), b);
    EXPECT_TRUE(IsChild(b, child));
    EXPECT_FALSE(IsChild(a, child));
    EXPECT_EQ(tvx::win32::WindowParentChain(child), (std::vector<HWND>{child, b}));

    SetLastError(0);
    EXPECT_EQ(SetParent(b, child), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(SetParent(a, nullptr), GetDesktopWindow());
    EXPECT_EQ(SetParent(child, nullptr), b);
    // Still WS_CHILD: its parent is the desktop now.
    EXPECT_EQ(GetParent(child), GetDesktopWindow());

    SetParent(child, a);
    DestroyWindow(a);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_TRUE(IsWindow(b));
    DestroyWindow(b);
}

// Catches visibility that ignores the parents, wrong previous states, and
// a missing WM_SHOWWINDOW.
TEST_F(WindowTest, VisibilityNeedsEveryParentVisible)
{
    HWND parent = Make(u"parent", nullptr, 0);
    HWND child = Make(u"child", parent);
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE);
    Messages().clear();
    EXPECT_FALSE(ShowWindow(parent, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_TRUE(ShowWindow(parent, SW_SHOW));
    EXPECT_TRUE(ShowWindow(child, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(child));
    // Shown, the parent became active and took the focus; an overlapped
    // window hears its size and place at its first showing.
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"parent SHOWWINDOW", "parent SETFOCUS", "parent WINDOWPOSCHANGED",
                                        "parent SIZE", "parent MOVE", "child SHOWWINDOW", "child WINDOWPOSCHANGED"}));
    EXPECT_EQ(GetWindowLongW(parent, GWL_STYLE) & (WS_CAPTION | WS_CLIPSIBLINGS), WS_CAPTION | WS_CLIPSIBLINGS);
    DestroyWindow(parent);
}

// Catches positions not relative to the parent, a move that sends no
// messages, and z-order requests that lose a window.
TEST_F(WindowTest, PositionsAreRelativeToTheParent)
{
    // A pop-up: it has no frame, so its client area starts where it does.
    HWND parent = Make(u"parent", nullptr, WS_POPUP | WS_VISIBLE);
    HWND child = Make(u"child", parent);
    HWND sibling = Make(u"sibling", parent);
    Messages().clear();
    EXPECT_TRUE(SetWindowPos(child, nullptr, 5, 6, 70, 30, SWP_NOZORDER));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"child WINDOWPOSCHANGED", "child MOVE", "child SIZE"}));
    RECT rect{};
    EXPECT_TRUE(GetWindowRect(child, &rect));
    EXPECT_EQ(rect.left, 15);
    EXPECT_EQ(rect.top, 26);
    EXPECT_EQ(rect.right, 85);
    EXPECT_EQ(rect.bottom, 56);
    EXPECT_TRUE(GetClientRect(child, &rect));
    EXPECT_EQ(rect.right, 70);
    EXPECT_EQ(rect.bottom, 30);

    Messages().clear();
    EXPECT_TRUE(SetWindowPos(child, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER));
    EXPECT_TRUE(Messages().empty());

    EXPECT_EQ(GetWindow(parent, GW_CHILD), child) << "children go below the ones made before";
    SetWindowPos(sibling, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), sibling);
    SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), child);
    EXPECT_EQ(GetWindow(child, GW_HWNDNEXT), sibling);
    SetWindowPos(child, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), sibling);
    DestroyWindow(parent);
}

// Catches WS_EX_TOPMOST not following HWND_TOPMOST and HWND_NOTOPMOST, a
// child window made topmost, and a plain window raised above a topmost one.
TEST_F(WindowTest, TopmostIsForTopLevelWindowsAndKeepsThemOnTop)
{
    auto topmost = [](HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    constexpr UINT kStay = SWP_NOMOVE | SWP_NOSIZE;
    HWND plain = Make(u"plain");
    HWND floating = Make(u"floating");
    HWND child = Make(u"child", plain);

    EXPECT_TRUE(SetWindowPos(floating, HWND_TOPMOST, 0, 0, 0, 0, kStay));
    EXPECT_TRUE(topmost(floating));
    EXPECT_TRUE(SetWindowPos(plain, HWND_TOP, 0, 0, 0, 0, kStay));
    EXPECT_EQ(GetWindow(floating, GW_HWNDNEXT), plain);
    HWND later = Make(u"later");
    EXPECT_EQ(GetWindow(floating, GW_HWNDNEXT), later);
    EXPECT_TRUE(SetWindowPos(floating, HWND_TOPMOST, 0, 0, 0, 0, kStay | SWP_NOZORDER));
    EXPECT_TRUE(SetWindowPos(floating, HWND_NOTOPMOST, 0, 0, 0, 0, kStay | SWP_NOZORDER));
    EXPECT_TRUE(topmost(floating));

    // Orders a child among its siblings.
    EXPECT_TRUE(SetWindowPos(child, HWND_TOPMOST, 0, 0, 0, 0, kStay));
    EXPECT_TRUE(topmost(child));

    EXPECT_TRUE(SetWindowPos(floating, HWND_NOTOPMOST, 0, 0, 0, 0, kStay));
    EXPECT_FALSE(topmost(floating));
    EXPECT_EQ(GetWindow(floating, GW_HWNDNEXT), later);
    EXPECT_TRUE(SetWindowPos(plain, HWND_TOPMOST, 0, 0, 0, 0, kStay));
    EXPECT_TRUE(SetWindowPos(plain, HWND_BOTTOM, 0, 0, 0, 0, kStay));
    // SetWindowPos, HWND_BOTTOM: "If the hWnd parameter identifies a topmost
    // window, the window loses its topmost status". Wine keeps it.
    if (!OnWine()) {
        EXPECT_FALSE(topmost(plain));
        EXPECT_TRUE(Below(plain, later));
    }
    DestroyWindow(plain);
    DestroyWindow(floating);
    DestroyWindow(later);
}

// Catches styles, extra bytes and user data that do not read back, and
// unknown indexes that read as zero without an error.
TEST_F(WindowTest, WindowLongsReadBack)
{
    HWND window = Make(u"w");
    LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(SetWindowLongW(window, GWL_STYLE, style | WS_BORDER), style);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE), style | WS_BORDER);
    EXPECT_EQ(SetWindowLongW(window, 4, 0x1234), 0);
    EXPECT_EQ(GetWindowLongW(window, 4), 0x1234);
    EXPECT_EQ(SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(0xABCDEF)), 0);
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_USERDATA), LONG_PTR(0xABCDEF));
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&RecordingProc));

    SetLastError(0);
    EXPECT_EQ(GetWindowLongW(window, 6), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
    SetLastError(0);
    EXPECT_EQ(GetWindowLongW(window, -99), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
    DestroyWindow(window);
}

// Catches wrong previous states from EnableWindow, a missing WM_ENABLE,
// and focus that stays on a destroyed window.
TEST_F(WindowTest, EnablingAndFocus)
{
    HWND a = Make(u"a");
    HWND b = Make(u"b");
    Messages().clear();
    EXPECT_FALSE(EnableWindow(a, FALSE));
    EXPECT_FALSE(IsWindowEnabled(a));
    EXPECT_TRUE(EnableWindow(a, FALSE));
    EXPECT_TRUE(EnableWindow(a, TRUE));
    EXPECT_TRUE(IsWindowEnabled(a));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"a ENABLE", "a ENABLE"}));

    SetFocus(nullptr);
    Messages().clear();
    // Focusing a window of another top-level window activates that one
    // first, and an activated window takes the focus itself.
    EXPECT_EQ(SetFocus(a), a);
    EXPECT_EQ(SetFocus(b), b);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"a SETFOCUS", "a KILLFOCUS", "b SETFOCUS"}));
    DestroyWindow(b);
    EXPECT_EQ(GetFocus(), a) << "the activation, and with it the focus, passed to a";
    DestroyWindow(a);
}

// Catches windows that never become active, activation left on a hidden or
// destroyed window, a pop-up that does not hand it back to its owner, and a
// pure child window taking it.
TEST_F(WindowTest, ShowingActivatesAndActivationPassesOnAsWindowsDoes)
{
    HWND owner = Make(u"owner");
    EXPECT_EQ(GetActiveWindow(), owner);
    HWND popup = CreateWindowExW(0, u"TestWindow", u"popup", WS_POPUP, 0, 0, 10, 10, owner, nullptr, nullptr, nullptr);
    HWND other = Make(u"other");
    Activations().clear();
    ShowWindow(popup, SW_SHOWNA);
    ShowWindow(popup, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), other);
    ShowWindow(popup, SW_SHOW);
    ShowWindow(popup, SW_HIDE);
    SetWindowPos(other, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(GetActiveWindow(), owner);
    SetWindowPos(other, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    HWND child = Make(u"child", owner);
    SetFocus(child);
    EXPECT_EQ(GetFocus(), child);
    EXPECT_EQ(SetActiveWindow(child), owner) << "a child window is never active";
    EXPECT_EQ(GetActiveWindow(), owner);
    DestroyWindow(owner);
    EXPECT_EQ(GetActiveWindow(), other);
    EXPECT_EQ(Activations(), (std::vector<std::string>{
                                 "other inactive", "popup active", "popup inactive", "owner active", "owner inactive",
                                 "other active", "other inactive", "owner active", "owner inactive", "other active"}));
    DestroyWindow(other);
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

// Catches text that is not kept, a truncation without its terminator, and
// text read from a dead window.
TEST_F(WindowTest, WindowTextRoundTrips)
{
    HWND window = Make(u"first");
    EXPECT_EQ(GetWindowTextLengthW(window), 5);
    EXPECT_TRUE(SetWindowTextW(window, u"a longer text"));
    char16_t buffer[6];
    EXPECT_EQ(GetWindowTextW(window, buffer, 6), 5);
    EXPECT_EQ(std::u16string(buffer), u"a lon");
    DestroyWindow(window);
    EXPECT_FALSE(SetWindowTextW(window, u"x"));
    EXPECT_EQ(GetWindowTextW(window, buffer, 6), 0);
    EXPECT_EQ(buffer[0], 0);
}

} // namespace
