// Window classes of the emulated window manager.
#include "host/win32/Kernel.h"
#include "host/win32/Windowing.h"
#include "host/win32/src/WindowState.h"
#include "interop/Bstr.h"

#include <algorithm>
#include <cstring>

namespace tvx::win32::detail {

namespace {

bool IsAtom(LPCWSTR name) noexcept { return reinterpret_cast<std::uintptr_t>(name) <= 0xFFFF; }

// Class names compare as Windows does: ignoring the case of ASCII letters.
bool SameClassName(std::u16string_view a, std::u16string_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i] >= u'a' && a[i] <= u'z' ? char16_t(a[i] - 32) : a[i];
        char16_t y = b[i] >= u'a' && b[i] <= u'z' ? char16_t(b[i] - 32) : b[i];
        if (x != y)
            return false;
    }
    return true;
}

WindowClassEntry& AddClass(WindowState& state, std::u16string name, const WNDCLASSW& info)
{
    auto entry = std::make_unique<WindowClassEntry>();
    entry->name = std::move(name);
    entry->info = info;
    entry->info.lpszClassName = AsOleChar(entry->name.c_str());
    entry->info.lpszMenuName = nullptr;
    entry->atom = state.nextAtom++;
    state.classes.push_back(std::move(entry));
    return *state.classes.back();
}

WindowState* MakeState()
{
    auto* state = new WindowState();
    state->next = kDesktopWindow + 0x10;
    // The system's control classes; their windows behave as plain windows.
    for (const char16_t* name : {u"Button", u"Edit", u"Static", u"ComboBox", u"ListBox", u"ScrollBar"}) {
        WNDCLASSW info{};
        info.lpfnWndProc = &DefWindowProcW;
        AddClass(*state, name, info);
    }
    return state;
}

} // namespace

// Never destroyed: windows may go from static destructors.
WindowState& State()
{
    static WindowState* state = MakeState();
    return *state;
}

WindowClassEntry* FindClass(WindowState& state, LPCWSTR name, HINSTANCE instance, ClassLookup lookup) noexcept
{
    if (!name)
        return nullptr;
    if (!instance && lookup == ClassLookup::Own)
        instance = GetModuleHandleW(nullptr);
    WindowClassEntry* system = nullptr;
    for (auto& entry : state.classes) {
        if (IsAtom(name) ? entry->atom != ATOM(reinterpret_cast<std::uintptr_t>(name))
                         : !SameClassName(entry->name, WideTextView(name)))
            continue;
        if (!entry->instance)
            system = entry.get();
        else if (entry->instance == instance || (!instance && lookup == ClassLookup::Create))
            return entry.get();
    }
    // A module's own class hides the system's class of that name.
    return lookup == ClassLookup::Own ? nullptr : system;
}

} // namespace tvx::win32::detail

using namespace tvx::win32::detail;

TVX_WIN32_API ATOM RegisterClassW(const WNDCLASSW* lpWndClass)
{
    if (!lpWndClass || !lpWndClass->lpszClassName || !lpWndClass->lpfnWndProc || lpWndClass->cbWndExtra < 0 ||
        reinterpret_cast<std::uintptr_t>(lpWndClass->lpszClassName) <= 0xFFFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WindowState& state = State();
    Guard guard(state.lock);
    if (FindClass(state, lpWndClass->lpszClassName, lpWndClass->hInstance, ClassLookup::Own)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    try {
        WindowClassEntry& entry =
            AddClass(state, std::u16string(tvx::WideTextView(lpWndClass->lpszClassName)), *lpWndClass);
        entry.instance = lpWndClass->hInstance ? lpWndClass->hInstance : GetModuleHandleW(nullptr);
        entry.info.hInstance = entry.instance;
        return entry.atom;
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
}

TVX_WIN32_API BOOL UnregisterClassW(LPCWSTR lpClassName, HINSTANCE hInstance)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowClassEntry* entry = FindClass(state, lpClassName, hInstance, ClassLookup::Own);
    if (!entry) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (entry->windows > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    std::erase_if(state.classes, [&](const auto& c) { return c.get() == entry; });
    return TRUE;
}

TVX_WIN32_API BOOL GetClassInfoW(HINSTANCE hInstance, LPCWSTR lpClassName, WNDCLASSW* lpWndClass)
{
    if (!lpWndClass) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    WindowState& state = State();
    Guard guard(state.lock);
    WindowClassEntry* entry = FindClass(state, lpClassName, hInstance, ClassLookup::Query);
    if (!entry) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    *lpWndClass = entry->info;
    return entry->atom;
}

TVX_WIN32_API int GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = FindWindowEntry(state, hWnd);
    if (!window || !lpClassName || nMaxCount <= 0) {
        if (window)
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::u16string& name = window->windowClass->name;
    int count = std::min<int>(int(name.size()), nMaxCount - 1);
    std::copy_n(name.data(), count, lpClassName);
    lpClassName[count] = 0;
    return count;
}
