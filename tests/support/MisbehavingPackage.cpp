#include "tests/support/MisbehavingPackage.h"

#include "interop/Bstr.h"
#include "interop/Guid.h"
#include "interop/Utf.h"
#include "tests/support/PackageListRegistry.h"
#include "tests/support/TestSupport.h"

#include <stdexcept>

namespace tvx::test {

HRESULT Carry(const MethodOutcome& outcome, const std::string& what)
{
    switch (outcome.What) {
    case MethodOutcome::Kind::Succeed: return S_OK;
    case MethodOutcome::Kind::Fail: return outcome.Failure;
    case MethodOutcome::Kind::Throw: throw std::runtime_error(what + " throws");
    case MethodOutcome::Kind::ThrowForeign: throw 42;
    }
    return E_UNEXPECTED;
}

const char* OddityName(QueryOddity oddity) noexcept
{
    switch (oddity) {
    case QueryOddity::Normal: return "Normal";
    case QueryOddity::SFalseWithPointer: return "SFalseWithPointer";
    case QueryOddity::SFalseWithoutPointer: return "SFalseWithoutPointer";
    case QueryOddity::OkWithoutPointer: return "OkWithoutPointer";
    case QueryOddity::FailWithGarbage: return "FailWithGarbage";
    case QueryOddity::Refuses: return "Refuses";
    case QueryOddity::WrongObject: return "WrongObject";
    }
    return "?";
}

std::optional<HRESULT> OddAnswer(REFIID riid, const GUID& odd, QueryOddity oddity, IUnknown* self, IUnknown* standIn,
                                 void** ppvObject)
{
    if (oddity == QueryOddity::Normal || !IsEqualGuid(riid, odd) || !ppvObject)
        return std::nullopt;
    *ppvObject = nullptr;
    switch (oddity) {
    case QueryOddity::Normal: return std::nullopt;
    case QueryOddity::SFalseWithPointer:
        // The identity stands for the interface: whoever uses it must not.
        self->AddRef();
        *ppvObject = self;
        return S_FALSE;
    case QueryOddity::SFalseWithoutPointer: return S_FALSE;
    case QueryOddity::OkWithoutPointer: return S_OK;
    case QueryOddity::FailWithGarbage: *ppvObject = kGarbagePointer; return E_NOINTERFACE;
    case QueryOddity::Refuses: return E_NOINTERFACE;
    case QueryOddity::WrongObject: return standIn ? standIn->QueryInterface(riid, ppvObject) : E_NOINTERFACE;
    }
    return std::nullopt;
}

// --- MisbehavingPackage ------------------------------------------------------

MisbehavingPackage::MisbehavingPackage(std::shared_ptr<MisbehavingProbe> probe) : probe_(std::move(probe))
{
    ++probe_->Alive;
    probe_->Log->Add("Create " + probe_->Name);
}

MisbehavingPackage::~MisbehavingPackage()
{
    --probe_->Alive;
    probe_->Log->Add("Destroy " + probe_->Name);
}

HRESULT MisbehavingPackage::QueryInterface(REFIID riid, void** ppvObject) noexcept
{
    if (auto odd = OddAnswer(riid, probe_->OddInterface, probe_->Oddity, Identity(), probe_->StandIn.get(), ppvObject))
        return *odd;
    return Implements::QueryInterface(riid, ppvObject);
}

HRESULT MisbehavingPackage::Respond(PackageMethod method)
{
    probe_->Log->Add(std::string(MethodName(method)) + " " + probe_->Name);
    if (auto does = probe_->Does.find(method); does != probe_->Does.end()) {
        // A copy: the action may replace itself.
        auto action = does->second;
        action(probe_->Services.get());
    }
    auto found = probe_->Outcomes.find(method);
    return Carry(found == probe_->Outcomes.end() ? MethodOutcome{} : found->second,
                 probe_->Name + " " + MethodName(method));
}

HRESULT MisbehavingPackage::Initialize(IBdsServices* Services)
{
    probe_->Services = Services;
    return Respond(PackageMethod::Initialize);
}

HRESULT MisbehavingPackage::OnServicesReady() { return Respond(PackageMethod::OnServicesReady); }

HRESULT MisbehavingPackage::Finalize()
{
    // The services go on the way out, whatever the outcome does.
    struct LetGo {
        MisbehavingProbe& probe;
        ~LetGo()
        {
            if (!probe.KeepsServicesAfterFinalize)
                probe.Services = nullptr;
        }
    } letGo{*probe_};
    return Respond(PackageMethod::Finalize);
}

namespace {

class MisbehavingFactory final : public Implements<MisbehavingFactory, IClassFactory> {
public:
    explicit MisbehavingFactory(std::shared_ptr<MisbehavingProbe> probe) : probe_(std::move(probe)) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override
    {
        if (!ppvObject)
            return E_POINTER;
        *ppvObject = nullptr;
        if (pUnkOuter)
            return CLASS_E_NOAGGREGATION;
        IntfPtr<IUnknown> object(static_cast<IBdsPackage*>(new MisbehavingPackage(probe_)));
        return object->QueryInterface(riid, ppvObject);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    std::shared_ptr<MisbehavingProbe> probe_;
};

} // namespace

ScopedClassObject RegisterMisbehavingPackage(REFCLSID clsid, std::shared_ptr<MisbehavingProbe> probe,
                                             std::optional<LONG> loadOrder)
{
    const std::string name = probe->Name;
    IntfPtr<IClassFactory> factory(new MisbehavingFactory(std::move(probe)));
    ScopedClassObject registration(clsid, factory.get());
    ListPackage(FormatGuidW(clsid), Utf8ToUtf16(name), loadOrder);
    return registration;
}

// --- Callbacks ------------------------------------------------------------------

HRESULT MisbehavingSink::Event(const std::string& event)
{
    // The package may let go of this sink from inside its own event.
    IntfPtr<IBdsToolBarControlEvents> self(this);
    log_->Add(name_ + " " + event);
    if (Does)
        Does(event);
    auto found = Outcomes.find(event);
    return Carry(found == Outcomes.end() ? MethodOutcome{} : found->second, name_ + " " + event);
}

HRESULT MisbehavingHandler::HandleMessage(MSG* Msg, VARIANT_BOOL* CallPrevious, VARIANT_BOOL* Handled)
{
    log_->Add(name_ + " HandleMessage " + std::to_string(Msg->message));
    if (Does)
        Does(*Msg, *CallPrevious, *Handled);
    return Carry(Outcome, name_ + " HandleMessage");
}

HRESULT MisbehavingHelper::QueryInterface(REFIID riid, void** ppvObject) noexcept
{
    if (auto odd = OddAnswer(riid, IidOf<IDragDropHelper>, Oddity, Identity(), StandIn.get(), ppvObject))
        return *odd;
    return Implements::QueryInterface(riid, ppvObject);
}

HRESULT MisbehavingHelper::Step(const std::string& step)
{
    log_->Add(name_ + " " + step);
    auto found = Outcomes.find(step);
    return Carry(found == Outcomes.end() ? MethodOutcome{} : found->second, name_ + " " + step);
}

HRESULT MisbehavingHelper::Execute() { return Step("Execute"); }

HRESULT MisbehavingHelper::get_Left(LONG* pRetVal)
{
    if (Out == OutValue::Set)
        *pRetVal = left_;
    else if (Out == OutValue::Garbage)
        *pRetVal = kGarbagePosition;
    return Step("get_Left");
}

HRESULT MisbehavingHelper::get_Top(LONG* pRetVal)
{
    if (Out == OutValue::Set)
        *pRetVal = top_;
    else if (Out == OutValue::Garbage)
        *pRetVal = kGarbagePosition;
    return Step("get_Top");
}

HRESULT MisbehavingProvider::GetDragDropHelper(BSTR ClassName, IUnknown** Helper)
{
    log_->Add(name_ + " GetDragDropHelper " + Utf16ToUtf8(BstrView(ClassName)));
    if (Out == OutValue::Set)
        Answer.copy_to(Helper);
    return Carry(Outcome, name_ + " GetDragDropHelper");
}

HRESULT OddToolBar::QueryInterface(REFIID riid, void** ppvObject) noexcept
{
    if (!IsEqualGuid(riid, IidOf<IUnknown>) && !IsEqualGuid(riid, IidOf<IBdsToolBar>)) {
        if (auto odd = OddAnswer(riid, riid, oddity_, Identity(), nullptr, ppvObject))
            return *odd;
    }
    return Implements::QueryInterface(riid, ppvObject);
}

HRESULT OddControl::QueryInterface(REFIID riid, void** ppvObject) noexcept
{
    if (!IsEqualGuid(riid, IidOf<IUnknown>) && !IsEqualGuid(riid, IidOf<IBdsToolBarControl>)) {
        if (auto odd = OddAnswer(riid, riid, oddity_, Identity(), nullptr, ppvObject))
            return *odd;
    }
    return Implements::QueryInterface(riid, ppvObject);
}

// --- Odd values -----------------------------------------------------------------

const char* OddBitmapName(OddBitmap kind) noexcept
{
    switch (kind) {
    case OddBitmap::Null: return "Null";
    case OddBitmap::Invalid: return "Invalid";
    case OddBitmap::AlreadyDeleted: return "AlreadyDeleted";
    case OddBitmap::WindowHandle: return "WindowHandle";
    case OddBitmap::NeverIssued: return "NeverIssued";
    }
    return "?";
}

HBITMAP MakeOddBitmap(OddBitmap kind, HWND window)
{
    switch (kind) {
    case OddBitmap::Null: return nullptr;
    case OddBitmap::Invalid: return reinterpret_cast<HBITMAP>(std::intptr_t(-1));
    case OddBitmap::AlreadyDeleted: {
        HBITMAP bitmap = MagentaBitmap(1, 1);
        DeleteObject(bitmap);
        return bitmap;
    }
    case OddBitmap::WindowHandle: return reinterpret_cast<HBITMAP>(window);
    case OddBitmap::NeverIssued: return reinterpret_cast<HBITMAP>(std::uintptr_t(0x7FFF0000));
    }
    return nullptr;
}

std::vector<OddText> OddTexts()
{
    std::u16string embedded = u"before";
    embedded += char16_t(0);
    embedded += u"after";
    embedded += char16_t(0);
    return {
        {"Null", true, u""},
        {"Empty", false, u""},
        {"VeryLong", false, std::u16string(1 << 20, u'W')},
        {"EmbeddedNuls", false, embedded},
        {"LoneHighSurrogate", false, std::u16string(u"end") + char16_t(0xD800)},
        {"LoneLowSurrogate", false, char16_t(0xDC00) + std::u16string(u"start")},
        {"ReversedPair", false, std::u16string{char16_t(0xDC00), char16_t(0xD800)}},
    };
}

BSTR AllocOddText(const OddText& text) { return text.IsNull ? nullptr : AllocBstr(text.Text); }

} // namespace tvx::test
