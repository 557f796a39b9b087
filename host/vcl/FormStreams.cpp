#include "host/vcl/FormStreams.h"

#include "host/vcl/FilerFormat.h"
#include "host/vcl/TypInfo.h"
#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/Utf.h"

#include <string>
#include <vector>

namespace {

constexpr std::u16string_view SChildNotRead = u"Error reading %s: child component %s: %s cannot be created";
constexpr std::u16string_view SNoRoot = u"Error reading stream: no component to read it onto";
// Lists inside lists: deep enough for any form, shallow enough for the stack.
constexpr int kMaxListDepth = 32;

[[noreturn]] void InvalidStream() { throw EReadError(String(SInvalidImage)); }
[[noreturn]] void InvalidValue() { throw EReadError(String(SInvalidPropertyValue)); }

// A property value as the stream holds it, read whole before it is applied
// so that a fault in applying it never leaves the stream half read.
struct StreamValue {
    TValueType Type = vaNull;
    int Integer = 0;
    // A string's text or an identifier.
    String Text;
    // A set's element names.
    std::vector<String> Elements;
};

class StreamReader {
public:
    explicit StreamReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::uint8_t PeekByte() const
    {
        if (pos_ >= data_.size())
            InvalidStream();
        return data_[pos_];
    }
    std::uint8_t ReadByte()
    {
        std::uint8_t b = PeekByte();
        ++pos_;
        return b;
    }
    std::span<const std::uint8_t> ReadBytes(std::size_t count)
    {
        if (count > data_.size() - pos_)
            InvalidStream();
        auto bytes = data_.subspan(pos_, count);
        pos_ += count;
        return bytes;
    }
    std::uint32_t ReadLittleEndian(int bytes)
    {
        std::uint32_t value = 0;
        auto raw = ReadBytes(std::size_t(bytes));
        for (int i = 0; i < bytes; ++i)
            value |= std::uint32_t(raw[std::size_t(i)]) << (8 * i);
        return value;
    }

    void ReadSignature()
    {
        auto bytes = ReadBytes(FilerSignature.size());
        if (!std::equal(bytes.begin(), bytes.end(), FilerSignature.begin()))
            InvalidStream();
    }

    // Names are ASCII identifiers; other bytes are taken as Latin-1.
    String ReadAnsi(std::size_t length)
    {
        auto bytes = ReadBytes(length);
        return String(bytes.begin(), bytes.end());
    }
    String ReadShortString() { return ReadAnsi(ReadByte()); }

    // The optional prefix of an object, then its class and name.
    std::pair<String, String> ReadObjectHeader()
    {
        if ((PeekByte() & FilerPrefixMask) == FilerPrefixMask) {
            std::uint8_t flags = ReadByte() & 0x0F;
            if (flags & ffChildPos)
                ReadInteger();
        }
        String className = ReadShortString();
        String objectName = ReadShortString();
        return {className, objectName};
    }

    int ReadInteger()
    {
        switch (ReadByte()) {
        case vaInt8: return std::int8_t(ReadLittleEndian(1));
        case vaInt16: return std::int16_t(ReadLittleEndian(2));
        case vaInt32: return std::int32_t(ReadLittleEndian(4));
        default: InvalidStream();
        }
    }

    StreamValue ReadValue(int depth = 0)
    {
        StreamValue v;
        v.Type = TValueType(PeekByte());
        switch (v.Type) {
        case vaInt8:
        case vaInt16:
        case vaInt32: v.Integer = ReadInteger(); return v;
        default: ++pos_; break;
        }
        switch (v.Type) {
        case vaString: v.Text = ReadShortString(); break;
        case vaLString: v.Text = ReadAnsi(ReadLittleEndian(4)); break;
        case vaWString: {
            std::uint32_t length = ReadLittleEndian(4);
            if (length > (data_.size() - pos_) / 2)
                InvalidStream();
            for (std::uint32_t i = 0; i < length; ++i)
                v.Text += char16_t(ReadLittleEndian(2));
            break;
        }
        case vaUTF8String: {
            auto bytes = ReadBytes(ReadLittleEndian(4));
            v.Text = tvx::Utf8ToUtf16(std::string(bytes.begin(), bytes.end()));
            break;
        }
        case vaIdent: v.Text = ReadShortString(); break;
        case vaSet:
            for (String element = ReadShortString(); !element.empty(); element = ReadShortString())
                v.Elements.push_back(element);
            break;
        case vaList:
            if (depth >= kMaxListDepth)
                InvalidStream();
            while (PeekByte() != vaNull)
                ReadValue(depth + 1);
            ++pos_;
            break;
        case vaFalse:
        case vaTrue:
        case vaNil: break;
        default: InvalidStream();
        }
        return v;
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

bool IsIntegerValue(const StreamValue& v) { return v.Type == vaInt8 || v.Type == vaInt16 || v.Type == vaInt32; }

bool IsStringValue(const StreamValue& v)
{
    return v.Type == vaString || v.Type == vaLString || v.Type == vaWString || v.Type == vaUTF8String;
}

// An enumeration's name; booleans arrive as vaFalse and vaTrue.
int EnumValueOf(const TPropInfo& info, const StreamValue& v)
{
    if (v.Type == vaFalse || v.Type == vaTrue)
        return GetEnumValue(info, v.Type == vaTrue ? u"True" : u"False");
    return v.Type == vaIdent ? GetEnumValue(info, v.Text) : -1;
}

int SetBitsOf(const TPropInfo& info, const StreamValue& v)
{
    if (v.Type != vaSet)
        InvalidValue();
    unsigned bits = 0;
    for (const String& element : v.Elements) {
        int ordinal = GetEnumValue(info, element);
        if (ordinal < 0 || ordinal >= 32)
            InvalidValue();
        bits |= 1u << unsigned(ordinal);
    }
    return int(bits);
}

void SetValue(TObject* instance, const TPropInfo& info, const StreamValue& v)
{
    switch (info.Kind) {
    case tkInteger: {
        int value = v.Integer;
        if (!IsIntegerValue(v) && !(v.Type == vaIdent && IdentToInt(info, v.Text, value)))
            InvalidValue();
        SetOrdProp(instance, info.Name, value);
        return;
    }
    case tkEnumeration: {
        int ordinal = EnumValueOf(info, v);
        if (ordinal < 0)
            InvalidValue();
        SetOrdProp(instance, info.Name, ordinal);
        return;
    }
    case tkSet: SetOrdProp(instance, info.Name, SetBitsOf(info, v)); return;
    case tkUString:
        if (!IsStringValue(v))
            InvalidValue();
        SetStrProp(instance, info.Name, v.Text);
        return;
    // Component references and event handlers would need names resolved
    // against the root, which no stream here carries; nil clears them.
    case tkClass:
        if (v.Type != vaNil)
            InvalidValue();
        SetObjectProp(instance, info.Name, nullptr);
        return;
    case tkMethod:
        if (v.Type != vaNil)
            InvalidValue();
        SetMethodProp(instance, info.Name, TMethod{});
        return;
    }
    InvalidValue();
}

const TPropInfo& PublishedProp(TObject* instance, std::u16string_view name)
{
    const TPropInfo* info = GetPropInfo(instance, name);
    if (!info)
        throw EReadError(Format(SUnknownProperty, name));
    return *info;
}

// Font.Height: every step but the last is an object property holding a
// persistent object.
void ApplyProperty(TComponent* root, const String& path, const StreamValue& value)
{
    try {
        TObject* instance = root;
        std::size_t start = 0;
        for (std::size_t dot = path.find(u'.'); dot != String::npos; dot = path.find(u'.', start)) {
            const TPropInfo& step = PublishedProp(instance, std::u16string_view(path).substr(start, dot - start));
            TObject* next = step.Kind == tkClass ? GetObjectProp(instance, step.Name) : nullptr;
            if (!dynamic_cast<TPersistent*>(next))
                throw EReadError(String(SInvalidPropertyPath));
            instance = next;
            start = dot + 1;
        }
        SetValue(instance, PublishedProp(instance, std::u16string_view(path).substr(start)), value);
    } catch (const Exception& e) {
        String rootName = root->Name().empty() ? root->ClassName() : root->Name();
        throw EReadError(Format(SPropertyException, rootName, u".", path, e.Message()));
    }
}

// A second instance of a form keeps the name free for the first, as the
// VCL's reader does: Name, Name_1, Name_2, ...
String UniqueName(TComponent* root, const String& name)
{
    TComponent* owner = root->Owner();
    auto taken = [&](const String& candidate) {
        TComponent* holder = owner ? owner->FindComponent(candidate) : nullptr;
        return holder && holder != root;
    };
    if (name.empty() || !taken(name))
        return name;
    for (int i = 1;; ++i) {
        String candidate = Format(u"%s_%d", name, i);
        if (!taken(candidate))
            return candidate;
    }
}

} // namespace

void ReadRootComponent(std::span<const std::uint8_t> Stream, TComponent* Root)
{
    if (!Root)
        throw EReadError(String(SNoRoot));
    StreamReader reader(Stream);
    reader.ReadSignature();
    auto [className, objectName] = reader.ReadObjectHeader();
    if (!Root->ComponentState().Contains(csDesigning))
        Root->SetName(UniqueName(Root, objectName));
    while (reader.PeekByte() != vaNull) {
        String path = reader.ReadShortString();
        StreamValue value = reader.ReadValue();
        ApplyProperty(Root, path, value);
    }
    reader.ReadByte();
    if (reader.PeekByte() != vaNull) {
        auto [childClass, childName] = reader.ReadObjectHeader();
        throw EReadError(Format(SChildNotRead, Root->Name(), childName, childClass));
    }
}

HINSTANCE FindClassHInstance(TClass AClass)
{
    HMODULE module = nullptr;
    if (!AClass ||
        !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(AClass), &module))
        return nullptr;
    return module;
}

bool InternalReadComponentRes(const String& ResName, HINSTANCE HInst, TComponent* Instance)
{
    HRSRC info = FindResourceW(HInst, tvx::AsOleChar(ResName.c_str()), RT_RCDATA);
    if (!info)
        return false;
    HGLOBAL handle = LoadResource(HInst, info);
    auto* data = static_cast<const std::uint8_t*>(handle ? LockResource(handle) : nullptr);
    if (!data)
        throw EResNotFound(Format(SResNotFound, ResName));
    ReadRootComponent(std::span(data, SizeofResource(HInst, info)), Instance);
    return true;
}

bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor)
{
    if (!Instance)
        return false;
    std::vector<TClass> chain;
    for (TClass c = Instance->ClassType(); c && c != RootAncestor && c != TComponent::StaticClass();
         c = c->ClassParent())
        chain.push_back(c);
    bool found = false;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        bool read = InternalReadComponentRes(UpperCase((*it)->ClassName()), FindClassHInstance(*it), Instance);
        found = found || read;
    }
    return found;
}
