// The published method tables of the interop and mirror interfaces, and a
// caller that reaches a method through the raw table by slot number, as a
// package written in C does. The slot numbers are the published ones, written
// here independently of the headers.
#pragma once

#include "host/win32/GdiEmulation.h"
#include "host/win32/Recorder.h"
#include "interop/TalvixBdsInterop.h"
#include "interop/WrappedToolsAPI.h"
#include "tests/support/InterfaceSlotTable.h"
#include "tests/support/TestSupport.h"
#include "toolbars/GetSelf.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// Tables of one entry a line.
// clang-format off

namespace tvx::test {

// An argument the callee writes: a pointer to a value, a pointer or a record,
// but not to text.
template <class A>
constexpr bool kIsOut = [] {
    if constexpr (std::is_pointer_v<A>) {
        using T = std::remove_pointer_t<A>;
        return !std::is_const_v<T> && !std::is_same_v<T, OLECHAR> &&
               (std::is_pointer_v<T> || std::is_arithmetic_v<T> || std::is_same_v<T, PackageInfo>);
    }
    return false;
}();

// The arguments of one call through a slot, and what became of them.
class SlotCall {
public:
    enum class Args {
        Zero,    // every argument zero
        NullOut, // out pointers null, other arguments real
        Real,    // out values filled with garbage, other arguments real
    };
    explicit SlotCall(Args args) : args_(args) {}
    ~SlotCall()
    {
        for (OutValue& out : outs_)
            out.drop(out.bytes.get());
        for (BSTR text : texts_)
            SysFreeString(text);
    }
    SlotCall(const SlotCall&) = delete;
    SlotCall& operator=(const SlotCall&) = delete;

    template <class A>
    A Arg()
    {
        if constexpr (std::is_reference_v<A>) {
            static std::remove_cvref_t<A> zero{};
            return zero;
        } else if constexpr (std::is_same_v<A, HBITMAP>) {
            return args_ == Args::Zero ? nullptr : bitmaps_.emplace_back(MagentaBitmap());
        } else if constexpr (std::is_same_v<A, BSTR>) {
            // Names a menu and a toolbar name alike, so that calls taking a
            // path or a name get as far as real work.
            return args_ == Args::Zero ? nullptr : texts_.emplace_back(SysAllocString(u"ToolsMenu"));
        } else if constexpr (kIsOut<A>) {
            return args_ == Args::Real ? static_cast<A>(AddOut<std::remove_pointer_t<A>>()) : nullptr;
        } else if constexpr (std::is_arithmetic_v<A>) {
            return A(args_ == Args::Zero ? 0 : 1);
        } else {
            return A{};
        }
    }

    // Every out value was written with zero.
    bool OutsCleared() const
    {
        return std::all_of(outs_.begin(), outs_.end(), [](const OutValue& out) {
            return std::all_of(out.bytes.get(), out.bytes.get() + out.size, [](unsigned char b) { return b == 0; });
        });
    }
    const std::vector<HBITMAP>& Bitmaps() const noexcept { return bitmaps_; }

private:
    static constexpr unsigned char kGarbage = 0xA5;
    struct OutValue {
        std::unique_ptr<unsigned char[]> bytes;
        std::size_t size;
        void (*drop)(const unsigned char* bytes);
    };

    template <class T>
    void* AddOut()
    {
        auto bytes = std::make_unique<unsigned char[]>(sizeof(T));
        std::memset(bytes.get(), kGarbage, sizeof(T));
        return outs_.emplace_back(OutValue{std::move(bytes), sizeof(T), &Drop<T>}).bytes.get();
    }
    // Lets go of what a call handed out through an out value.
    template <class T>
    static void Drop(const unsigned char* bytes)
    {
        T value;
        std::memcpy(&value, bytes, sizeof(T));
        if (std::all_of(bytes, bytes + sizeof(T), [](unsigned char b) { return b == 0 || b == kGarbage; }))
            return;
        if constexpr (std::is_same_v<T, BSTR>)
            SysFreeString(value);
        else if constexpr (std::is_pointer_v<T> && std::is_base_of_v<IUnknown, std::remove_pointer_t<T>>)
            value->Release();
    }

    Args args_;
    std::vector<OutValue> outs_;
    std::vector<BSTR> texts_;
    std::vector<HBITMAP> bitmaps_;
};

// Calls slot `slot` of `object`'s method table with the exact C signature of
// method M: the interface pointer first, then M's own arguments.
template <class M>
struct RawSlot;
template <class I, class R, class... A>
struct RawSlot<R (I::*)(A...)> {
    static constexpr bool kTakesOut = (kIsOut<A> || ...);
    static constexpr bool kTakesBitmap = (std::is_same_v<A, HBITMAP> || ...);
    static constexpr bool kAnswersHResult = std::is_same_v<R, HRESULT>;

    static HRESULT Call(void* object, int slot, SlotCall& call)
    {
        using Fn = R(STDMETHODCALLTYPE*)(I*, A...);
        auto fn = reinterpret_cast<Fn>((*static_cast<void***>(object))[slot]);
        if constexpr (std::is_same_v<R, HRESULT>) {
            return fn(static_cast<I*>(object), call.Arg<A>()...);
        } else {
            fn(static_cast<I*>(object), call.Arg<A>()...);
            return S_OK;
        }
    }
};

struct SlotRow {
    int slot;
    const char* method;
    HRESULT (*call)(void* object, int slot, SlotCall& call);
    bool takesOut;
    bool takesBitmap;
    // Without an HRESULT a method can only skip what it cannot write.
    bool answersHResult;
};

template <class M>
SlotRow SlotOf(int slot, const char* method)
{
    return {slot, method, &RawSlot<M>::Call, RawSlot<M>::kTakesOut, RawSlot<M>::kTakesBitmap,
            RawSlot<M>::kAnswersHResult};
}

// An interface's methods after IUnknown's three, at their published slots.
template <class I>
std::vector<SlotRow> SlotTable();

#define TVX_SLOT_ROW(n, Result, Method, ...) SlotOf<decltype(&I::Method)>(n, #Method),
#define TVX_SLOT_TABLE(Interface)                          \
    template <>                                            \
    inline std::vector<SlotRow> SlotTable<Interface>()     \
    {                                                      \
        using I [[maybe_unused]] = Interface;              \
        return {TVX_SLOTS_##Interface(TVX_SLOT_ROW)};      \
    }
TVX_BDS_INTEROP_INTERFACES(TVX_SLOT_TABLE)
TVX_WRAPPED_TOOLS_API_INTERFACES(TVX_SLOT_TABLE)
#undef TVX_SLOT_TABLE
#undef TVX_SLOT_ROW

// Every bitmap the call passed was deleted once: the library took it over.
inline void ExpectBitmapsConsumed(const SlotCall& call)
{
    for (HBITMAP bitmap : call.Bitmaps())
        EXPECT_EQ(win32::DeleteCount(bitmap), 1) << "a bitmap handed in is deleted once, whatever the answer";
}

// Calls every method of an ended wrapper: each answers `answer` (or what
// `departures` names), with its out values cleared and its bitmaps consumed.
// Answers the message boxes each method showed, by method.
inline std::map<std::string, std::vector<std::u16string>> ExpectEndedCalls(
    void* object, const std::vector<SlotRow>& slots, const std::map<std::string, HRESULT>& departures = {},
    HRESULT answer = E_UNEXPECTED)
{
    std::map<std::string, std::vector<std::u16string>> shown;
    for (const SlotRow& row : slots) {
        SCOPED_TRACE(row.method);
        SlotCall call(SlotCall::Args::Real);
        auto departure = departures.find(row.method);
        EXPECT_EQ(row.call(object, row.slot, call), departure == departures.end() ? answer : departure->second);
        EXPECT_TRUE(call.OutsCleared()) << "out values of an ended wrapper are cleared";
        ExpectBitmapsConsumed(call);
        if (auto texts = TakeMessageBoxTexts(); !texts.empty())
            shown[row.method] = texts;
    }
    return shown;
}

// What an ended wrapper answers where it departs from E_UNEXPECTED on purpose.
template <class I>
inline const std::map<std::string, HRESULT> kEndedAnswers{};
// Invoking an ended item's action does nothing, and succeeds.
template <>
inline const std::map<std::string, HRESULT> kEndedAnswers<IBdsMenuItem>{{"InvokeAction", S_OK}};
// A closed toolbar still ends controls, and a null one is nothing to end.
template <>
inline const std::map<std::string, HRESULT> kEndedAnswers<IBdsToolBar>{{"RemoveControl", S_OK}};

// Windows whose IDE window is gone answer E_FAIL, as a window the IDE
// closed; a sink and a control (null here) can still be let go of, and
// auto-hiding is not theirs.
template <class I>
inline constexpr HRESULT kEndedAnswer = E_UNEXPECTED;
template <>
inline constexpr HRESULT kEndedAnswer<IBdsDockableWindow> = E_FAIL;
template <>
inline constexpr HRESULT kEndedAnswer<IBdsDocumentWindow> = E_FAIL;
template <>
inline const std::map<std::string, HRESULT> kEndedAnswers<IBdsDockableWindow>{
    {"RegisterEvents", S_OK}, {"Set_AutoHides", S_OK}, {"HostControl", S_OK}};
// The modified mark is the package's own and needs no editor window.
template <>
inline const std::map<std::string, HRESULT> kEndedAnswers<IBdsDocumentWindow>{
    {"RegisterEvents", S_OK}, {"Get_Modified", S_OK}, {"Set_Modified", S_OK}, {"HostControl", S_OK}};

template <class I>
std::map<std::string, std::vector<std::u16string>> ExpectEndedCalls(I* object)
{
    return ExpectEndedCalls(static_cast<void*>(object), SlotTable<I>(), kEndedAnswers<I>, kEndedAnswer<I>);
}

} // namespace tvx::test
// clang-format on
