// Reading .reg text into the steps it asks for. Nothing touches the
// registry here: the reader applies the steps once the whole file parsed.
#pragma once

#include "RegistryStore.h"

#include <string>
#include <string_view>
#include <vector>

namespace tvx::win32::detail {

// The line that refused a file, and what is wrong with it.
struct ParseFailure {
    int line;
    std::string message;
};

[[noreturn]] void Fail(int line, std::string message);

// One step of a .reg file, in file order.
struct RegFileOp {
    enum Kind { OpenKey, DeleteKey, SetValue, DeleteValue } kind = OpenKey;
    int line = 0;
    HKEY root = nullptr;
    std::vector<std::u16string> path;
    std::u16string name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// Offending text quoted in a message, shortened so a binary file cannot
// flood it.
std::string Quote(std::u16string_view text);

// The steps of a whole file, its header line included; a refused line
// raises ParseFailure.
std::vector<RegFileOp> ParseRegText(std::u16string_view text);

} // namespace tvx::win32::detail
