// The readable text of a form file to the binary stream the VCL reads, as the
// VCL's ObjectTextToBinary. Standard library only, so that the build's
// form-resource tool converts .dfm files without the IDE stand-in; for the
// same reason a fault is a standard exception rather than EParserError.
#pragma once

#include "host/vcl/IdeApi.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tvx {

// A fault in the text; what() reads "Line 7: Identifier expected".
class TVX_IDE_API ObjectTextError : public std::runtime_error {
public:
    ObjectTextError(int Line, const std::string& Reason);
    int Line() const noexcept { return line_; }
    const std::string& Reason() const noexcept { return reason_; }

private:
    int line_;
    std::string reason_;
};

} // namespace tvx

// Text in UTF-8 (a byte order mark is skipped): one "object Name: TClass",
// "inherited ..." or "inline ..." with its properties (integers, strings with
// '' and #nnn, identifiers, True/False/nil, sets, lists) and child objects,
// each closed by "end". Strings go out as vaString when they are ASCII of at
// most 255 characters, else as vaWString. Floating-point, binary and
// collection values are refused, as nothing here reads them.
TVX_IDE_API std::vector<std::uint8_t> ObjectTextToBinary(std::string_view Text);
