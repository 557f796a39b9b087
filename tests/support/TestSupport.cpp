#include "tests/support/TestSupport.h"

#include <cstdlib>

namespace tvx::test {

std::u16string TakeErrorDescription()
{
    IntfPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info)
        return {};
    Bstr description;
    info->GetDescription(description.put());
    return description.str();
}

std::string BinaryDir()
{
    const char* dir = std::getenv("TVX_BIN_DIR");
    return dir ? dir : ".";
}

std::string SourceDir()
{
    const char* dir = std::getenv("TVX_SOURCE_DIR");
    return dir ? dir : ".";
}

} // namespace tvx::test
