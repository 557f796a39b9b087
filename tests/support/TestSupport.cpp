#include "tests/support/TestSupport.h"

#include "host/win32/Recorder.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

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

std::vector<std::u16string> TakeMessageBoxTexts()
{
    std::vector<std::u16string> texts;
    for (const auto& box : win32::TakeMessageBoxes())
        texts.push_back(box.text);
    return texts;
}

HBITMAP MagentaBitmap(int width, int height)
{
    std::vector<std::uint32_t> pixels(std::size_t(width * height), 0x00FF00FF);
    pixels[std::size_t((height / 2) * width + width / 2)] = 0x000000FF;
    return CreateBitmap(width, height, 1, 32, pixels.data());
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

std::string ReadSourceFile(const std::string& relativePath)
{
    std::ifstream file(SourceDir() + "/" + relativePath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace tvx::test
