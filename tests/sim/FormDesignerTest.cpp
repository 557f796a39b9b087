#include "sim/designers/FormDesigner.h"
#include "tests/support/TestSupport.h"

#include <memory>
#include <string>
#include <vector>

namespace {

class Listener final : public tvx::Implements<Listener, IDesignNotification> {
public:
    Listener(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
    void ItemDeleted(IDesigner*, TPersistent*) override { Note("deleted"); }
    void ItemInserted(IDesigner*, TPersistent* item) override
    {
        auto* c = dynamic_cast<TComponent*>(item);
        Note("inserted " + std::to_string(c ? c->DesignInfo() : -1));
        if (raise)
            throw Exception(u"listener failed");
    }
    void ItemsModified(IDesigner*) override { Note("modified"); }
    void SelectionChanged(IDesigner*, IDesignerSelections*) override { Note("selection"); }
    void DesignerOpened(IDesigner*, bool) override { Note("opened"); }
    void DesignerClosed(IDesigner*, bool) override { Note("closed"); }
    bool raise = false;

private:
    void Note(const std::string& what) { log_.push_back(name_ + " " + what); }
    std::string name_;
    std::vector<std::string>& log_;
};

// Catches listeners notified out of registration order, twice, after they
// unregistered, or before the item carries its drop position.
TEST(FormDesigner, InsertionReachesEachListenerOnceInOrder)
{
    std::vector<std::string> log;
    tvx::IntfPtr<Listener> a(new Listener("A", log)), b(new Listener("B", log));
    RegisterDesignNotification(a.get());
    RegisterDesignNotification(b.get());
    RegisterDesignNotification(a.get());
    EXPECT_EQ(tvx::test::RefCount(a.get()), 2u);

    TComponent form;
    tvx::IntfPtr<TFormDesigner> designer(new TFormDesigner(&form));
    auto* item = new TComponent(nullptr);
    designer->InsertComponent(item, 8, 16);
    EXPECT_EQ(item->Owner(), &form);
    EXPECT_EQ(log, (std::vector<std::string>{"A inserted 1048584", "B inserted 1048584", "A modified", "B modified"}));

    log.clear();
    UnregisterDesignNotification(a.get());
    designer->Close();
    EXPECT_EQ(log, (std::vector<std::string>{"B closed"}));
    UnregisterDesignNotification(b.get());
    EXPECT_EQ(tvx::test::RefCount(a.get()), 1u);
}

} // namespace
