#include "sim/designers/IdeDesigners.h"

#include "host/vcl/ActnList.h"
#include "host/vcl/TypInfo.h"
#include "interop/IntfPtr.h"
#include "interop/Utf.h"
#include "sim/Scenario.h"
#include "sim/SimulatedIde.h"

#include <climits>
#include <cstdint>
#include <exception>
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
    u"TLabel",    u"TButton",     u"TEdit",       u"TMemo",        u"TCheckBox",      u"TRadioButton", u"TListBox",
    u"TPanel",    u"TGroupBox",   u"TBitBtn",     u"TSpeedButton", u"TImage",         u"TShape",       u"TTimer",
    u"TPaintBox", u"TOpenDialog", u"TSaveDialog", u"TDataSource",  u"TClientDataSet",
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

IdeDesigners::IdeDesigners(SimulatedIde& ide) : ide_(ide) {}

void IdeDesigners::Build()
{
    for (TClass c : Palette())
        if (!GetClass(String(c->ClassName())))
            RegisterClass(c);
    Designer(u"Form1");
}

IdeDesigners::~IdeDesigners()
{
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

InsertedComponent IdeDesigners::InsertComponent(const String& formName, const String& className, const String& name,
                                                int left, int top)
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

void IdeDesigners::RegisterCommands(ScenarioRunner& runner)
{
    runner.Register(
        {"insert-component", "insert-component <form> <class> [name] [left top]",
         "Drops a component of a palette class (TButton, TLabel, TTimer, TActionList, ...) on a form designer, "
         "opening the form's designer first if needed; without a name the IDE numbers it, without a position it "
         "lands at 8, 8.",
         2, 5, [this](const ScenarioStep& step) {
             if (step.Args.size() == 4)
                 throw ScenarioError("give both left and top");
             const String name = step.Args.size() > 2 ? Utf8ToUtf16(step.Args[2]) : String();
             const int left = step.Args.size() > 3 ? int(ScenarioInteger(step.Args[3], INT_MIN, INT_MAX)) : 8;
             const int top = step.Args.size() > 4 ? int(ScenarioInteger(step.Args[4], INT_MIN, INT_MAX)) : 8;
             try {
                 InsertedComponent c =
                     InsertComponent(Utf8ToUtf16(step.Args[0]), Utf8ToUtf16(step.Args[1]), name, left, top);
                 std::string line = Utf16ToUtf8(c.Name) + ": " + Utf16ToUtf8(c.ClassName) + " on " +
                                    Utf16ToUtf8(c.Form) + " at left " + std::to_string(c.Left) + ", top " +
                                    std::to_string(c.Top);
                 if (c.Left != c.DroppedLeft || c.Top != c.DroppedTop)
                     line += " (dropped at " + std::to_string(c.DroppedLeft) + ", " + std::to_string(c.DroppedTop) +
                             ", moved by a drag-and-drop helper)";
                 return std::vector<std::string>{line};
             } catch (const EComponentError& e) {
                 throw ScenarioError(e.what());
             } catch (const EClassNotFound& e) {
                 throw ScenarioError(e.what());
             } catch (const std::exception& e) {
                 // A design listener's error: the IDE shows it and keeps the
                 // component on the form.
                 ide_.App().HandleException(&ide_.App());
                 return std::vector<std::string>{"the designer showed an error: " + std::string(e.what())};
             }
         }});
}

} // namespace tvx::sim
