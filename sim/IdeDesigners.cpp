#include "sim/IdeDesigners.h"

#include "host/vcl/ActnList.h"
#include "host/vcl/TypInfo.h"

#include <cstdint>
#include <string_view>
#include <utility>

namespace tvx::sim {

namespace {

// A component of a palette class the simulator has no VCL class for: it
// answers the palette class's name and behaves as a plain component.
class TDesignedComponent final : public TComponent {
public:
    TDesignedComponent(TComponent* owner, TClass cls) : TComponent(owner), class_(cls) {}
    TClass ClassType() const noexcept override { return class_; }

private:
    TClass class_;
};

// A few classes of the Standard, Additional, System, Dialogs and Data Access
// pages.
constexpr std::u16string_view kDesignedClasses[] = {
    u"TLabel",  u"TButton",     u"TEdit",       u"TMemo",      u"TCheckBox",    u"TRadioButton", u"TListBox",
    u"TPanel",  u"TGroupBox",   u"TBitBtn",     u"TSpeedButton", u"TImage",     u"TShape",       u"TTimer",
    u"TPaintBox", u"TOpenDialog", u"TSaveDialog", u"TDataSource", u"TClientDataSet",
};

// Never destroyed: the class registry keeps the metaclasses for the process.
const std::vector<TClass>& Palette()
{
    static const auto* palette = [] {
        auto* classes = new std::vector<TClass>();
        for (std::u16string_view name : kDesignedClasses)
            classes->push_back(new TMetaClass(name, TComponent::StaticClass(), {}));
        classes->push_back(TActionList::StaticClass());
        return classes;
    }();
    return *palette;
}

TClass PaletteClass(const String& name)
{
    for (TClass c : Palette())
        if (SameText(c->ClassName(), name))
            return c;
    throw EClassNotFound(u"The component palette has no class " + name);
}

TComponent* NewComponent(TClass cls, TComponent* owner)
{
    if (cls == TActionList::StaticClass())
        return new TActionList(owner);
    return new TDesignedComponent(owner, cls);
}

// The IDE's default name: the class name without its T, numbered from 1.
String DefaultName(const TComponent& root, std::u16string_view className)
{
    String base(className.starts_with(u'T') ? className.substr(1) : className);
    for (int n = 1;; ++n) {
        String candidate = base + IntToStr(n);
        if (!root.FindComponent(candidate))
            return candidate;
    }
}

} // namespace

void DesignPosition(int designInfo, int& left, int& top) noexcept
{
    left = std::int16_t(std::uint32_t(designInfo) & 0xFFFF);
    top = std::int16_t(std::uint32_t(designInfo) >> 16);
}

int TSimModuleServices::GetModuleCount()
{
    return designers_ ? designers_->FormCount() : 0;
}

struct IdeDesigners::Form {
    TComponent* Root = nullptr;
    tvx::IntfPtr<TFormDesigner> Designer;

    ~Form()
    {
        Designer = nullptr;
        if (Root)
            Root->Free();
    }
};

IdeDesigners::IdeDesigners(TIDEServices& services)
    : services_(services), moduleServices_(new TSimModuleServices(*this))
{
    for (TClass c : Palette())
        if (!GetClass(String(c->ClassName())))
            RegisterClass(c);
    services_.AddService<IOTAModuleServices>(moduleServices_.get());
    services_.AddService<IOTAModuleServices70>(moduleServices_.get());
    Designer(u"Form1");
}

IdeDesigners::~IdeDesigners()
{
    services_.RemoveService(tvx::IidOf<IOTAModuleServices>);
    services_.RemoveService(tvx::IidOf<IOTAModuleServices70>);
    moduleServices_->Detach();
    // Forms close silently: the add-ins that listened have gone by now.
    forms_.clear();
}

std::vector<String> IdeDesigners::PaletteClasses()
{
    std::vector<String> names;
    for (TClass c : Palette())
        names.emplace_back(c->ClassName());
    return names;
}

IdeDesigners::Form* IdeDesigners::Find(const String& formName) const noexcept
{
    for (const auto& form : forms_)
        if (SameText(form->Root->Name(), formName))
            return form.get();
    return nullptr;
}

TFormDesigner& IdeDesigners::Designer(const String& formName)
{
    if (Form* form = Find(formName))
        return *form->Designer;
    auto form = std::make_unique<Form>();
    form->Root = new TComponent(nullptr);
    form->Root->SetName(formName);
    form->Designer = tvx::IntfPtr<TFormDesigner>(new TFormDesigner(form->Root));
    forms_.push_back(std::move(form));
    TFormDesigner& designer = *forms_.back()->Designer;
    designer.Open();
    return designer;
}

InsertedComponent IdeDesigners::InsertComponent(const String& formName, const String& className,
                                                const String& name, int left, int top)
{
    TClass cls = PaletteClass(className);
    TFormDesigner& designer = Designer(formName);
    TComponent* root = designer.GetRoot();
    TComponent* item = NewComponent(cls, root);
    try {
        item->SetName(name.empty() ? DefaultName(*root, cls->ClassName()) : name);
    } catch (...) {
        item->Free();
        throw;
    }
    InsertedComponent result;
    result.Form = root->Name();
    result.Name = item->Name();
    result.ClassName = item->ClassName();
    result.DroppedLeft = left;
    result.DroppedTop = top;
    designer.InsertComponent(item, left, top);
    DesignPosition(item->DesignInfo(), result.Left, result.Top);
    return result;
}

} // namespace tvx::sim
