#include "host/vcl/TypInfo.h"
#include "host/vcl/Classes.h"
#include "tests/support/TestSupport.h"

#include <vector>

// A class publishing each kind of property, as later IDE classes will.
class TGadget : public TComponent {
    TVX_CLASS(TGadget, TComponent)
    using TComponent::TComponent;

    bool Active() const noexcept { return active_; }
    void SetActive(bool Value) noexcept { active_ = Value; }
    TComponent* Buddy() const noexcept { return buddy_; }
    void SetBuddy(TComponent* Value) noexcept { buddy_ = Value; }
    int Serial() const noexcept { return 7; }

    TNotifyEvent FOnChange;

private:
    bool active_ = false;
    TComponent* buddy_ = nullptr;
};
TVX_DEFINE_CLASS(TGadget, Published<&TGadget::Active, &TGadget::SetActive>(u"Active"),
                 Published<&TGadget::Buddy, &TGadget::SetBuddy>(u"Buddy"), Published<&TGadget::Serial>(u"Serial"),
                 Published<&TGadget::FOnChange, &TGadget::FOnChange>(u"OnChange"))

namespace {

struct Sink {
    void Changed(TObject*) { ++calls; }
    int calls = 0;
};

template <class F>
String PropertyErrorOf(F&& f)
{
    try {
        f();
    } catch (const EPropertyError& e) {
        return e.Message();
    }
    return u"no error";
}

} // namespace

// Catches a table that misses TComponent's own published properties or
// compares their names with case.
TEST(PublishedProperty, ComponentNameAndTagByName)
{
    TComponent c;
    SetStrProp(&c, u"Name", u"Editor1");
    SetOrdProp(&c, u"tag", 12);
    EXPECT_EQ(c.Name(), u"Editor1");
    EXPECT_EQ(c.Tag(), 12);
    EXPECT_EQ(GetStrProp(&c, u"NAME"), u"Editor1");
    EXPECT_EQ(std::get<int>(GetPropValue(&c, u"Tag")), 12);
    SetPropValue(&c, u"Tag", 5);
    EXPECT_EQ(GetOrdProp(&c, u"Tag"), 5);
}

// Catches a property write that bypasses the setter's rules.
TEST(PublishedProperty, WritesGoThroughTheSetter)
{
    TComponent c;
    EXPECT_THROW(SetStrProp(&c, u"Name", u"1bad"), EComponentError);
    EXPECT_EQ(c.Name(), u"");
}

// Catches unknown names answered with a default instead of the VCL's error.
TEST(PublishedProperty, UnknownNameRaisesPropertyError)
{
    TComponent c;
    EXPECT_EQ(PropertyErrorOf([&] { GetPropValue(&c, u"Caption"); }), u"Property Caption does not exist");
    EXPECT_EQ(PropertyErrorOf([&] { SetMethodProp(&c, u"OnClick", TMethod{}); }), u"Property OnClick does not exist");
    EXPECT_EQ(PropertyErrorOf([&] { GetOrdProp(nullptr, u"Tag"); }), u"Property Tag does not exist");
    EXPECT_FALSE(IsPublishedProp(&c, u"Caption"));
    EXPECT_EQ(GetPropInfo(&c, u"Caption"), nullptr);
}

// Catches a property read as another kind than it is.
TEST(PublishedProperty, WrongKindRaisesPropertyError)
{
    TGadget g;
    EXPECT_EQ(PropertyErrorOf([&] { GetMethodProp(&g, u"Tag"); }), u"Invalid property type: Integer");
    EXPECT_EQ(PropertyErrorOf([&] { GetStrProp(&g, u"Buddy"); }), u"Invalid property type: TComponent");
    EXPECT_EQ(PropertyErrorOf([&] { SetPropValue(&g, u"Name", 3); }), u"Invalid property value");
}

// Catches an event property that loses the handler or its identity, the way
// a takeover saves the IDE's handler and puts it back.
TEST(PublishedProperty, EventPropertyReadsAndWritesTheMethod)
{
    TGadget g;
    Sink ide;
    Sink hook;
    g.FOnChange = MakeEvent<&Sink::Changed>(&ide);
    TMethod saved = GetMethodProp(&g, u"OnChange");
    SetMethodProp(&g, u"OnChange", MakeEvent<&Sink::Changed>(&hook).Method());
    g.FOnChange(&g);
    EXPECT_EQ(hook.calls, 1);
    SetMethodProp(&g, u"OnChange", saved);
    EXPECT_TRUE(g.FOnChange == MakeEvent<&Sink::Changed>(&ide));
    g.FOnChange(&g);
    EXPECT_EQ(ide.calls, 1);
}

// Catches object properties that accept an object of the wrong class.
TEST(PublishedProperty, ObjectPropertyChecksTheClass)
{
    TGadget g;
    TComponent buddy;
    SetObjectProp(&g, u"Buddy", &buddy);
    EXPECT_EQ(GetObjectProp(&g, u"Buddy"), &buddy);
    TObject notAComponent;
    EXPECT_EQ(PropertyErrorOf([&] { SetObjectProp(&g, u"Buddy", &notAComponent); }), u"Invalid property value");
    SetObjectProp(&g, u"Buddy", nullptr);
    EXPECT_EQ(g.Buddy(), nullptr);
    ASSERT_NE(GetPropInfo(&g, u"Buddy"), nullptr);
    EXPECT_EQ(GetPropInfo(&g, u"Buddy")->PropClass, TComponent::StaticClass());
}

// Catches writes to a property that has no setter.
TEST(PublishedProperty, ReadOnlyPropertyRefusesWrites)
{
    TGadget g;
    EXPECT_EQ(GetOrdProp(&g, u"Serial"), 7);
    EXPECT_EQ(PropertyErrorOf([&] { SetOrdProp(&g, u"Serial", 1); }), u"Property is read-only");
}

// Catches a descendant that hides its ancestors' properties, or a list in
// the wrong order.
TEST(PublishedProperty, DescendantListsAncestorPropertiesFirst)
{
    std::vector<String> names;
    for (const TPropInfo* p : GetPropList(TGadget::StaticClass()))
        names.emplace_back(p->Name);
    EXPECT_EQ(names, (std::vector<String>{u"Name", u"Tag", u"Active", u"Buddy", u"Serial", u"OnChange"}));
    TGadget g;
    SetOrdProp(&g, u"Active", 1);
    EXPECT_TRUE(g.Active());
}

// Catches class names or ancestry taken from the wrong metaclass.
TEST(ClassReference, NameAndAncestry)
{
    TGadget g;
    TObject& asObject = g;
    EXPECT_EQ(asObject.ClassName(), u"TGadget");
    EXPECT_TRUE(asObject.ClassNameIs(u"tgadget"));
    EXPECT_TRUE(g.InheritsFrom(TComponent::StaticClass()));
    EXPECT_TRUE(g.InheritsFrom(TObject::StaticClass()));
    EXPECT_FALSE(TComponent().InheritsFrom(TGadget::StaticClass()));
    EXPECT_EQ(TGadget::StaticClass()->ClassParent(), TComponent::StaticClass());
}

// Catches FindClass answering null, or GetClass raising, for unknown names.
TEST(ClassRegistry, FindClassRaisesForUnknownNames)
{
    RegisterClass(TGadget::StaticClass());
    EXPECT_EQ(FindClass(u"tgadget"), TGadget::StaticClass());
    EXPECT_EQ(GetClass(u"TNoSuchClass"), nullptr);
    try {
        FindClass(u"TNoSuchClass");
        FAIL() << "no error";
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message(), u"Class TNoSuchClass not found");
    }
    UnRegisterClass(TGadget::StaticClass());
    EXPECT_EQ(GetClass(u"TGadget"), nullptr);
}

// Catches a second class silently taking over a registered name.
TEST(ClassRegistry, AnotherClassOfTheSameNameIsRefused)
{
    RegisterClasses({TGadget::StaticClass(), TGadget::StaticClass()});
    TMetaClass impostor(u"TGADGET", TComponent::StaticClass(), {});
    try {
        RegisterClass(&impostor);
        FAIL() << "no error";
    } catch (const EFilerError& e) {
        EXPECT_EQ(e.Message(), u"A class named TGADGET already exists");
    }
    EXPECT_EQ(FindClass(u"TGadget"), TGadget::StaticClass());
}
