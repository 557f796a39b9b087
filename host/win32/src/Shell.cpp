// ShellExecuteW: the launch is recorded instead of started.
#include "host/win32/Shell.h"
#include "host/win32/src/RecorderState.h"
#include "interop/Bstr.h"

namespace {

std::optional<std::u16string> OptionalText(LPCWSTR text)
{
    if (!text)
        return std::nullopt;
    return std::u16string(tvx::WideTextView(text));
}

HINSTANCE ShellResult(INT_PTR code) { return reinterpret_cast<HINSTANCE>(code); }

} // namespace

TVX_WIN32_API HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR lpOperation, LPCWSTR lpFile, LPCWSTR lpParameters,
                                      LPCWSTR lpDirectory, INT nShowCmd)
{
    // Nothing to start: the shell reports the file as not found.
    if (!lpFile || !*lpFile)
        return ShellResult(SE_ERR_FNF);
    try {
        tvx::win32::ShellLaunchRecord record;
        record.owner = hwnd;
        record.operation = OptionalText(lpOperation);
        record.file = std::u16string(tvx::WideTextView(lpFile));
        record.parameters = OptionalText(lpParameters);
        record.directory = OptionalText(lpDirectory);
        record.showCommand = nShowCmd;
        tvx::win32::detail::RecordShellLaunch(std::move(record));
    } catch (...) {
        return ShellResult(SE_ERR_OOM);
    }
    // Any value above 32 means started; 42 is what a successful launch
    // commonly returns.
    return ShellResult(42);
}
