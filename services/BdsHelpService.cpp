#include "services/BdsHelpService.h"

#include "host/vcl/Forms.h"
#include "host/vcl/Registry.h"
#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"

namespace talvix {

namespace {

// The registered viewer's command line as stored, quotes included; raises
// when there is no viewer or no file at the path between the quotes.
String RegisteredViewerCommand()
{
    TRegistry registry;
    registry.SetRootKey(HKEY_CLASSES_ROOT);
    const String key(HelpViewerServerKey);
    if (!registry.KeyExists(key))
        throw Exception(String());
    // Read only: most users may not write under HKEY_CLASSES_ROOT.
    String command;
    if (registry.OpenKeyReadOnly(key))
        command = registry.ReadString(String());
    // The path between the quotes; an unquoted command loses its first and
    // last characters here and is found nowhere.
    const String path = command.size() >= 2 ? command.substr(1, command.size() - 2) : String();
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(tvx::AsOleChar(path.c_str()));
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw Exception(String());
    return command;
}

void LaunchViewer(const String& file, const String& parameters) noexcept
{
    // The launch's own result is not looked at: a viewer that fails to start
    // is the shell's to report.
    ShellExecuteW(nullptr, tvx::AsOleChar(u""), tvx::AsOleChar(file.c_str()), tvx::AsOleChar(parameters.c_str()),
                  tvx::AsOleChar(u""), SW_SHOW);
}

} // namespace

TBdsHelpService* TBdsHelpService::Create() { return tvx::LifetimeRegistry::Create<TBdsHelpService>(); }

HRESULT TBdsHelpService::ShowHelpByKeyword(BSTR keyword)
{
    return tvx::Guarded([&] {
        if (!Application)
            throw tvx::HResultError(E_UNEXPECTED, u"No application object");
        Application->HelpKeyword(String(tvx::BstrView(keyword)));
    });
}

HRESULT TBdsHelpService::ShowHelpByURL(BSTR URL)
{
    return tvx::Guarded([&] {
        const String parameters = u"/helpcol " + String(tvx::BstrView(URL));
        String command;
        try {
            command = RegisteredViewerCommand();
        } catch (...) {
            LaunchViewer(String(FallbackHelpViewer), parameters);
            return;
        }
        LaunchViewer(command, parameters);
    });
}

} // namespace talvix
