// Setting the machine up on Windows: in-proc servers register themselves as
// regsvr32 has them do, and .reg files go through the system's own importer.
#include "host/win32/ComRuntime.h"
#include "host/win32/RegFile.h"
#include "host/win32/Win32.h"

#include <string>

namespace tvx::win32 {
namespace {

HRESULT CallServerEntry(std::u16string_view path, const char* entry)
{
    const std::u16string file(path);
    HMODULE module = LoadLibraryExW(reinterpret_cast<LPCWSTR>(file.c_str()), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module)
        return HRESULT_FROM_WIN32(GetLastError());
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto call = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, entry)));
    const HRESULT hr = call ? call() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    FreeLibrary(module);
    return hr;
}

} // namespace

HRESULT RegisterServer(std::u16string_view path) { return CallServerEntry(path, "DllRegisterServer"); }
HRESULT UnregisterServer(std::u16string_view path) { return CallServerEntry(path, "DllUnregisterServer"); }

RegFileResult ImportRegFile(const std::filesystem::path& path)
{
    RegFileResult result;
    std::wstring command = L"reg.exe import \"" + path.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process)) {
        result.message = "cannot start reg.exe to import " + path.string();
        return result;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    result.ok = exitCode == 0;
    if (!result.ok)
        result.message = "reg.exe could not import " + path.string();
    return result;
}

} // namespace tvx::win32
