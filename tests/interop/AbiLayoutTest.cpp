// The parts of the package ABI that the slot tests do not reach: the package
// record's layout, the wizard entry's type and the calling convention of
// every declared method.
#include "interop/TalvixBdsInterop.h"
#include "interop/WrappedToolsAPI.h"
#include "tests/support/TestSupport.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <type_traits>

namespace tvx::test {
namespace {

// The IDE calls the entry by this exact shape; on Linux the convention
// macro is empty, so the plain pointer type must match.
static_assert(std::is_same_v<TWizardInitProc, bool (*)(IUnknown*, void*, void (**)())>);

template <class T>
T ReadAt(const void* record, std::size_t offset)
{
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

// Catches padding or reordered fields: a package copies the record and reads
// Name right after the 16-byte GUID and Instance right after Name.
TEST(PackageInfoLayout, PackageReadsFieldsAtPublishedOffsets)
{
    static const OLECHAR name[] = {'D', 'e', 'm', 'o', 0};
    PackageInfo info{};
    info.Id = ParseGuid("{7E5999AF-8E58-44A7-97A8-115ACD1F1C0A}");
    info.Name = name;
    info.Instance = SentinelPointer<IBdsPackage>();

    EXPECT_EQ(sizeof(PackageInfo), 16 + 2 * sizeof(void*));
    EXPECT_TRUE(IsEqualGuid(ReadAt<GUID>(&info, 0), info.Id));
    EXPECT_EQ(ReadAt<const OLECHAR*>(&info, 16), name);
    EXPECT_EQ(ReadAt<IBdsPackage*>(&info, 16 + sizeof(void*)), SentinelPointer<IBdsPackage>());
}

// The headers are found in the source tree the test was registered with:
// cached compiles record this file's path relative to the build folder.
std::filesystem::path SourceRoot() { return std::filesystem::path(SourceDir()); }

std::string ReadSource(const std::string& relative)
{
    std::ifstream in(SourceRoot() / relative);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Catches a method or entry type declared without STDMETHODCALLTYPE, or a
// virtual destructor. Linux builds cannot see it: the macro is empty here,
// but on 32-bit Windows such a method would not be stdcall and would
// unbalance the package's stack.
TEST(InterfaceDeclarations, EveryMethodIsPureAndStdcall)
{
    for (const char* header : {"interop/TalvixBdsInterop.h", "interop/WrappedToolsAPI.h"}) {
        SCOPED_TRACE(header);
        std::string text = ReadSource(header);
        ASSERT_FALSE(text.empty()) << "cannot read " << (SourceRoot() / header);
        int methods = 0;
        std::istringstream statements(text);
        for (std::string statement; std::getline(statements, statement, ';');) {
            bool isMethod = statement.find("virtual") != std::string::npos;
            bool isEntryType = statement.find("using TWizard") != std::string::npos;
            if (!isMethod && !isEntryType)
                continue;
            methods += isMethod;
            EXPECT_NE(statement.find("STDMETHODCALLTYPE"), std::string::npos) << statement;
            if (isMethod) {
                EXPECT_NE(statement.find("= 0"), std::string::npos) << statement;
                EXPECT_EQ(statement.find('~'), std::string::npos) << statement;
            }
        }
        EXPECT_GT(methods, 0);
    }
}

} // namespace
} // namespace tvx::test
