// Misbehaving package-side objects for the reliability tests: a package and
// the callbacks a package hands the library (click sinks, message handlers,
// drag-and-drop providers and helpers), each told per method to succeed,
// fail, throw a std::exception or something else, run test code first, give
// odd out values or answer QueryInterface oddly. Like TestPackage they link
// only the SDK and the win32 stand-in.
#pragma once

#include "host/win32/Win32.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"
#include "interop/TalvixBdsInterop.h"
#include "tests/support/TestPackages.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tvx::test {

// Carries out `outcome` for a call named `what`: returns S_OK or the failure,
// or throws.
HRESULT Carry(const MethodOutcome& outcome, const std::string& what);

// How an object answers QueryInterface for the one identifier it is told.
enum class QueryOddity {
    Normal,
    SFalseWithPointer,    // S_FALSE, and a counted pointer all the same
    SFalseWithoutPointer, // S_FALSE, null
    OkWithoutPointer,     // S_OK, null
    FailWithGarbage,      // E_NOINTERFACE, but a garbage pointer left behind
    Refuses,              // E_NOINTERFACE, null (for IUnknown: "never IUnknown")
    WrongObject,          // S_OK with another object's interface
};
const char* OddityName(QueryOddity oddity) noexcept;
// A pointer value no object lives at; nobody may call or release it.
inline void* const kGarbagePointer = reinterpret_cast<void*>(std::uintptr_t(0xBAADF00D));

// Answers `riid` as `oddity` says when it is `odd`; nothing when the object
// should answer normally. `self` is the object's IUnknown, `standIn` the
// other object WrongObject answers with.
std::optional<HRESULT> OddAnswer(REFIID riid, const GUID& odd, QueryOddity oddity, IUnknown* self, IUnknown* standIn,
                                 void** ppvObject);

// One misbehaving package's set-up, shared with the objects its factory makes.
struct MisbehavingProbe {
    MisbehavingProbe(std::string name, std::shared_ptr<CallLog> log) : Name(std::move(name)), Log(std::move(log)) {}

    std::string Name;
    std::shared_ptr<CallLog> Log;

    std::map<PackageMethod, MethodOutcome> Outcomes;
    // Runs inside the method, before its outcome, with the services the
    // package holds (null once it let them go).
    std::map<PackageMethod, std::function<void(IBdsServices*)>> Does;
    GUID OddInterface{};
    QueryOddity Oddity = QueryOddity::Normal;
    IntfPtr<IUnknown> StandIn;
    // Finalize lets the services go unless told to keep them: a package
    // that keeps calling after Finalize.
    bool KeepsServicesAfterFinalize = false;

    // The services the package holds.
    IntfPtr<IBdsServices> Services;
    // Objects the package holds (menu items, toolbars, controls, sinks,
    // handlers), by a name of the test's choosing.
    std::map<std::string, IntfPtr<IUnknown>> Held;

    int Alive = 0;

    MisbehavingProbe& On(PackageMethod method, MethodOutcome outcome)
    {
        Outcomes[method] = outcome;
        return *this;
    }
    MisbehavingProbe& Doing(PackageMethod method, std::function<void(IBdsServices*)> does)
    {
        Does[method] = std::move(does);
        return *this;
    }
    template <class I>
    void Hold(const std::string& key, const IntfPtr<I>& object)
    {
        Held[key] = IntfPtr<IUnknown>(static_cast<IUnknown*>(object.get()));
    }
    template <class I>
    IntfPtr<I> HeldAs(const std::string& key) const
    {
        auto found = Held.find(key);
        return found == Held.end() ? IntfPtr<I>() : found->second.template try_as<I>();
    }
    // Drops the package's reference by that name, as the package would.
    void Drop(const std::string& key) { Held.erase(key); }
    // Everything the package still holds goes, services last.
    void LetGoOfEverything()
    {
        Held.clear();
        Services = nullptr;
    }
};

class MisbehavingPackage final : public Implements<MisbehavingPackage, IBdsPackage> {
public:
    explicit MisbehavingPackage(std::shared_ptr<MisbehavingProbe> probe);
    ~MisbehavingPackage() override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) noexcept override;
    HRESULT STDMETHODCALLTYPE Initialize(IBdsServices* Services) override;
    HRESULT STDMETHODCALLTYPE OnServicesReady() override;
    HRESULT STDMETHODCALLTYPE Finalize() override;

private:
    HRESULT Respond(PackageMethod method);
    std::shared_ptr<MisbehavingProbe> probe_;
};

// Serves MisbehavingPackage for its probe in-process and lists it in the
// package list under its name, for the life of the holder.
ScopedClassObject RegisterMisbehavingPackage(REFCLSID clsid, std::shared_ptr<MisbehavingProbe> probe,
                                             std::optional<LONG> loadOrder);

// A click sink: logs "<name> OnClick" (OnChange, OnUpdate), runs Does, then
// carries out the event's outcome.
class MisbehavingSink final : public Implements<MisbehavingSink, IBdsToolBarControlEvents> {
public:
    MisbehavingSink(std::string name, std::shared_ptr<CallLog> log) : name_(std::move(name)), log_(std::move(log)) {}

    HRESULT STDMETHODCALLTYPE OnClick() override { return Event("OnClick"); }
    HRESULT STDMETHODCALLTYPE OnChange() override { return Event("OnChange"); }
    HRESULT STDMETHODCALLTYPE OnUpdate() override { return Event("OnUpdate"); }

    std::map<std::string, MethodOutcome> Outcomes;
    std::function<void(const std::string& event)> Does;

private:
    HRESULT Event(const std::string& event);
    std::string name_;
    std::shared_ptr<CallLog> log_;
};

// A message handler: logs "<name> HandleMessage <message>", runs Does with
// the message and the two flags, then carries out its outcome.
class MisbehavingHandler final : public Implements<MisbehavingHandler, IMessageHandler> {
public:
    MisbehavingHandler(std::string name, std::shared_ptr<CallLog> log) : name_(std::move(name)), log_(std::move(log)) {}

    HRESULT STDMETHODCALLTYPE HandleMessage(MSG* Msg, VARIANT_BOOL* CallPrevious, VARIANT_BOOL* Handled) override;

    MethodOutcome Outcome;
    std::function<void(MSG&, VARIANT_BOOL&, VARIANT_BOOL&)> Does;

private:
    std::string name_;
    std::shared_ptr<CallLog> log_;
};

// What a package-side method does with its out value.
enum class OutValue { Set, LeftUnset, Garbage };

// A drag-and-drop helper: each step logs "<name> <step>", may fail or throw,
// and its position getters may leave their out value alone or write garbage.
class MisbehavingHelper final : public Implements<MisbehavingHelper, IDragDropHelper> {
public:
    MisbehavingHelper(std::string name, std::shared_ptr<CallLog> log, LONG left, LONG top)
        : name_(std::move(name)), log_(std::move(log)), left_(left), top_(top)
    {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) noexcept override;
    HRESULT STDMETHODCALLTYPE Execute() override;
    HRESULT STDMETHODCALLTYPE get_Left(LONG* pRetVal) override;
    HRESULT STDMETHODCALLTYPE get_Top(LONG* pRetVal) override;

    static constexpr LONG kGarbagePosition = LONG(0x7EADBEEF);

    std::map<std::string, MethodOutcome> Outcomes;
    OutValue Out = OutValue::Set;
    QueryOddity Oddity = QueryOddity::Normal; // for IDragDropHelper
    IntfPtr<IUnknown> StandIn;

private:
    HRESULT Step(const std::string& step);
    std::string name_;
    std::shared_ptr<CallLog> log_;
    LONG left_, top_;
};

// A provider: logs "<name> GetDragDropHelper <class>", hands out Answer
// (or leaves the out value alone), then carries out its outcome.
class MisbehavingProvider final : public Implements<MisbehavingProvider, IDragDropHelperProvider> {
public:
    MisbehavingProvider(std::string name, std::shared_ptr<CallLog> log) : name_(std::move(name)), log_(std::move(log))
    {}

    HRESULT STDMETHODCALLTYPE GetDragDropHelper(BSTR ClassName, IUnknown** Helper) override;

    IntfPtr<IUnknown> Answer;
    OutValue Out = OutValue::Set;
    MethodOutcome Outcome;

private:
    std::string name_;
    std::shared_ptr<CallLog> log_;
};

// Looks like a toolbar, or a toolbar control, to the library but answers
// QueryInterface oddly for every identifier but IUnknown and its own.
class OddToolBar final : public NotImplementedToolBar<OddToolBar> {
public:
    explicit OddToolBar(QueryOddity oddity) : oddity_(oddity) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) noexcept override;

private:
    QueryOddity oddity_;
};

class OddControl final : public NotImplementedControl<OddControl> {
public:
    explicit OddControl(QueryOddity oddity) : oddity_(oddity) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) noexcept override;

private:
    QueryOddity oddity_;
};

// Bitmap handles a package may pass where the library takes one over.
enum class OddBitmap { Null, Invalid, AlreadyDeleted, WindowHandle, NeverIssued };
const char* OddBitmapName(OddBitmap kind) noexcept;
// The handle of that kind; `window` stands for any live window's handle.
HBITMAP MakeOddBitmap(OddBitmap kind, HWND window);

// Texts a package may pass as BSTRs, each with a name for test output: null,
// empty, very long, with embedded NULs, with unpaired surrogates.
struct OddText {
    const char* Name;
    bool IsNull;
    std::u16string Text;
};
std::vector<OddText> OddTexts();
// A BSTR of the text (null for the null case), owned by the caller.
BSTR AllocOddText(const OddText& text);

} // namespace tvx::test
