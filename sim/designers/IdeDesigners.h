// The simulated IDE's form designers and component palette. A component put
// on a form goes through the IDE's design notifications, as a drop from the
// palette does.
#pragma once

#include "sim/IdePart.h"
#include "sim/designers/FormDesigner.h"

#include <memory>
#include <string>
#include <vector>

namespace tvx::sim {

class SimulatedIde;

// Where a component landed: what the IDE gave it and where it ended.
struct InsertedComponent {
    String Form;
    String Name;
    String ClassName;
    int DroppedLeft = 0, DroppedTop = 0;
    int Left = 0, Top = 0;
};

class IdeDesigners final : public IdePart {
public:
    explicit IdeDesigners(SimulatedIde& ide);
    ~IdeDesigners() override;

    // Opens the designer of Form1.
    void Build() override;
    // insert-component.
    void RegisterCommands(ScenarioRunner& runner) override;

    int FormCount() const noexcept { return int(forms_.size()); }
    // The designer of that form, opened (with its notification) if it is not.
    TFormDesigner& Designer(const String& formName);

    // Drops a component of a palette class on a form, at (left, top); an
    // empty name lets the IDE number it (Button1, Button2, ...). Raises for a
    // class the palette lacks or a name the form refuses; an error a design
    // listener raises reaches the caller with the component on the form.
    InsertedComponent InsertComponent(const String& formName, const String& className, const String& name, int left,
                                      int top);

    // The classes on the palette, each registered with the class registry.
    static std::vector<String> PaletteClasses();

private:
    struct Form;
    Form* Find(const String& formName) const noexcept;

    SimulatedIde& ide_;
    std::vector<std::unique_ptr<Form>> forms_;
};

// Splits a component's DesignInfo into its Left (low word) and Top (high
// word), each a signed 16-bit value, as the IDE reads it.
void DesignPosition(int designInfo, int& left, int& top) noexcept;

} // namespace tvx::sim
