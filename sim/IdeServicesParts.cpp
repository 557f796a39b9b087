#include "sim/IdeServicesParts.h"

#include "host/win32/Win32.h"
#include "interop/Utf.h"
#include "sim/Scenario.h"

#include <climits>
#include <cstdint>

namespace tvx::sim {

namespace {

constexpr UINT kKeyDown = 0x0100;     // WM_KEYDOWN
constexpr UINT kKeyUp = 0x0101;       // WM_KEYUP
constexpr UINT kSysKeyDown = 0x0104;  // WM_SYSKEYDOWN: keys pressed with Alt
constexpr UINT kSysKeyUp = 0x0105;    // WM_SYSKEYUP

// Keeps what is in place when the IDE's key cannot be written: the session
// then shows the lookups' fallbacks.
void WriteRegistryText(HKEY root, const std::u16string& path, const char16_t* name, const std::u16string& value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD((value.size() + 1) * sizeof(char16_t)));
    RegCloseKey(key);
}

void WriteIdeRegistration()
{
    const std::u16string ideKey = u"SOFTWARE\\CodeGear\\BDS\\8.0";
    WriteRegistryText(HKEY_LOCAL_MACHINE, ideKey, u"Edition", std::u16string(kIdeEdition));
    WriteRegistryText(HKEY_LOCAL_MACHINE, ideKey, u"RootDir", u"C:\\Program Files\\Embarcadero\\RAD Studio\\8.0\\");
    WriteRegistryText(HKEY_CLASSES_ROOT, u"CLSID\\{4A79114D-19E4-11d3-B86B-00C04F79F802}\\LocalServer32", nullptr,
                      u"\"" + std::u16string(kHelpViewerPath) + u"\"");
}

// lParam of a key message: repeat count 1, the context bit for Alt, and the
// previous-state and transition bits for a release.
LPARAM KeyData(bool alt, bool up)
{
    std::uint32_t data = 1;
    if (alt)
        data |= 1u << 29;
    if (up)
        data |= (1u << 30) | (1u << 31);
    return LPARAM(std::int32_t(data));
}

struct KeyStroke {
    WPARAM Key;
    const char* Name;
};

} // namespace

IdeServicesParts::IdeServicesParts(TApplication& app, TIDEServices& services, TNativeServices& native)
    : app_(app), native_(native), designers_(services), splashAbout_(services)
{
    WriteIdeRegistration();
    native_.ActionList = actions_.List();
    app_.SetOnMessage(MakeEvent<&IdeServicesParts::IdeMessage>(this));
}

IdeServicesParts::~IdeServicesParts()
{
    if (app_.OnMessage() == MakeEvent<&IdeServicesParts::IdeMessage>(this))
        app_.SetOnMessage(TMessageEvent());
    if (native_.ActionList == actions_.List())
        native_.ActionList = nullptr;
}

void IdeServicesParts::IdeMessage(MSG&, bool&)
{
    ++seen_;
}

std::string IdeServicesParts::PostAndDescribe(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const std::size_t dispatchedBefore = app_.DispatchedMessages().size();
    const std::size_t seenBefore = seen_;
    app_.QueueMessage(window, message, wParam, lParam);
    app_.ProcessMessages();
    std::string outcome =
        app_.DispatchedMessages().size() > dispatchedBefore ? "dispatched" : "handled by OnMessage, not dispatched";
    outcome += seen_ > seenBefore ? "; the IDE's OnMessage handler saw it"
                                  : "; the IDE's OnMessage handler did not see it";
    return outcome;
}

std::vector<std::string> IdeServicesParts::PressKey(TShortCut shortCut, HWND window)
{
    const bool alt = shortCut & scAlt;
    std::vector<KeyStroke> modifiers;
    if (shortCut & scShift)
        modifiers.push_back({0x10, "Shift"});
    if (shortCut & scCtrl)
        modifiers.push_back({0x11, "Ctrl"});
    if (alt)
        modifiers.push_back({0x12, "Alt"});
    const std::string keyName = Utf16ToUtf8(ShortCutToText(shortCut & 0xFF));
    const UINT down = alt ? kSysKeyDown : kKeyDown;
    const UINT up = alt ? kSysKeyUp : kKeyUp;

    std::vector<std::string> lines;
    for (const KeyStroke& m : modifiers)
        lines.push_back(std::string(m.Name) + " down: " + PostAndDescribe(window, down, m.Key, KeyData(alt, false)));
    const std::size_t dispatchedBefore = app_.DispatchedMessages().size();
    std::string keyLine = keyName + " down: " + PostAndDescribe(window, down, shortCut & 0xFF, KeyData(alt, false));
    // The main form's shortcut handling sees only what the application
    // dispatches.
    if (app_.DispatchedMessages().size() > dispatchedBefore)
        keyLine += "; " + actions_.HandleShortCut(shortCut);
    lines.push_back(std::move(keyLine));
    lines.push_back(keyName + " up: " + PostAndDescribe(window, up, shortCut & 0xFF, KeyData(alt, true)));
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m)
        lines.push_back(std::string(m->Name) + " up: " + PostAndDescribe(window, up, m->Key, KeyData(alt, true)));
    return lines;
}

void IdeServicesParts::RegisterCommands(ScenarioRunner& runner)
{
    auto window = [](const ScenarioStep& step, std::size_t index) {
        return index < step.Args.size() ? reinterpret_cast<HWND>(std::uintptr_t(ScenarioInteger(step.Args[index])))
                                        : HWND(nullptr);
    };
    runner.Register(
        {"key", "key <shortcut> [window]",
         "Presses a key with its modifiers (Ctrl+S, Shift+Ctrl+F9, F1, Del): key-down and key-up messages "
         "through the application loop; a key the application dispatches runs the IDE action with that shortcut.",
         1, 2, [this, window](const ScenarioStep& step) {
             const TShortCut shortCut = TextToShortCut(Utf8ToUtf16(step.Args[0]));
             if (shortCut == scNone)
                 throw ScenarioError("not a key: '" + step.Args[0] + "'");
             return PressKey(shortCut, window(step, 1));
         }});
    runner.Register(
        {"insert-component", "insert-component <form> <class> [name] [left top]",
         "Drops a component of a palette class (TButton, TLabel, TTimer, TActionList, ...) on a form designer, "
         "opening the form's designer first if needed; without a name the IDE numbers it, without a position it "
         "lands at 8, 8.",
         2, 5, [this](const ScenarioStep& step) {
             if (step.Args.size() == 4)
                 throw ScenarioError("give both left and top");
             const String name = step.Args.size() > 2 ? Utf8ToUtf16(step.Args[2]) : String();
             const int left = step.Args.size() > 3 ? int(ScenarioInteger(step.Args[3], INT_MIN, INT_MAX)) : 8;
             const int top = step.Args.size() > 4 ? int(ScenarioInteger(step.Args[4], INT_MIN, INT_MAX)) : 8;
             try {
                 InsertedComponent c = designers_.InsertComponent(Utf8ToUtf16(step.Args[0]),
                                                                  Utf8ToUtf16(step.Args[1]), name, left, top);
                 std::string line = Utf16ToUtf8(c.Name) + ": " + Utf16ToUtf8(c.ClassName) + " on " +
                                    Utf16ToUtf8(c.Form) + " at left " + std::to_string(c.Left) + ", top " +
                                    std::to_string(c.Top);
                 if (c.Left != c.DroppedLeft || c.Top != c.DroppedTop)
                     line += " (dropped at " + std::to_string(c.DroppedLeft) + ", " + std::to_string(c.DroppedTop) +
                             ", moved by a drag-and-drop helper)";
                 return std::vector<std::string>{line};
             } catch (const EComponentError& e) {
                 throw ScenarioError(e.what());
             } catch (const EClassNotFound& e) {
                 throw ScenarioError(e.what());
             } catch (const std::exception& e) {
                 // A design listener's error: the IDE shows it and keeps the
                 // component on the form.
                 app_.HandleException(&app_);
                 return std::vector<std::string>{"the designer showed an error: " + std::string(e.what())};
             }
         }});
    runner.Register({"help-keyword", "help-keyword <keyword>",
                     "Asks the IDE's help system for a topic by keyword, as F1 on a word does.", 1, 1,
                     [this](const ScenarioStep& step) {
                         app_.HelpKeyword(Utf8ToUtf16(step.Args[0]));
                         return std::vector<std::string>{"help system asked for \"" + step.Args[0] + "\""};
                     }});
}

void IdeServicesParts::Collect(ServicesReport& report) const
{
    for (const TSplashPluginLine& line : splashAbout_.Splash().PluginLines())
        report.Splash.push_back(
            SplashLineRecord{line.Caption, line.Bitmap != nullptr, line.IsUnRegistered, line.LicenseStatus,
                             line.SKUName});
    for (const TAboutBoxEntry& entry : splashAbout_.AboutBox().Entries())
        report.About.push_back(AboutEntryRecord{entry.IsProduct, entry.DialogTitle, entry.Copyright, entry.Title,
                                                entry.Description, entry.AboutImage != nullptr,
                                                entry.ProductImage != nullptr, entry.IsUnRegistered,
                                                entry.LicenseStatus, entry.SKUName});
    for (const String& keyword : app_.HelpKeywords())
        report.HelpKeywords.push_back(keyword);
    for (const String& action : actions_.Executed())
        report.ExecutedActions.push_back(action);
}

} // namespace tvx::sim
