// The generated header's IIDs against the C++ headers' at run time; its
// method tables are checked at compile time in IdlAgreement.h.
#include "tests/support/InterfaceSlots.h"

// Defines the generated header's IIDs in this file.
#define INITGUID
#include "tests/idl/IdlAgreement.h"
#undef INITGUID

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct IidRow {
    const char* name;
    GUID cpp;
    const idl::GUID* generated;
};

#define TVX_IDL_IID_ROW(Interface) {#Interface, tvx::IidOf<Interface>, &idl::IID_##Interface},
const IidRow kIids[] = {TVX_IDL_INTERFACES(TVX_IDL_IID_ROW)};

// Catches an interface whose IID in the IDL differs from the C++ header's:
// a package built from either would then be refused by the other.
TEST(IdlAgreement, EveryInterfaceHasTheIidOfTheCppHeader)
{
    static_assert(sizeof(idl::GUID) == sizeof(GUID));
    EXPECT_EQ(std::size(kIids), 37u);
    for (const IidRow& row : kIids)
        EXPECT_EQ(std::memcmp(&row.cpp, row.generated, sizeof(GUID)), 0)
            << row.name << ": " << tvx::FormatGuid(row.cpp) << " in C++";
}

} // namespace
