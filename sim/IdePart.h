// One feature of the simulated IDE (main menu, toolbars, designers, ...).
// SimulatedIde builds its parts in order, so a part may use the parts built
// before it, and destroys them in reverse order; a part's destructor takes
// down what its Build made.
#pragma once

namespace tvx::sim {

class ScenarioRunner;
struct Report;

class IdePart {
public:
    IdePart() = default;
    virtual ~IdePart() = default;
    IdePart(const IdePart&) = delete;
    IdePart& operator=(const IdePart&) = delete;

    // Makes the feature and offers its services, before any add-in loads.
    virtual void Build() = 0;
    // The wizard entry has returned: the IDE finishes starting up.
    virtual void AfterWizardEntry() {}
    // The IDE is closing; the wizard has not been told and its packages are
    // still loaded.
    virtual void BeforeShutdown() {}
    // The wizard's terminate routine has run: what add-ins registered is
    // released while their libraries are still loaded.
    virtual void AfterWizardTerminate() {}
    // The user's actions on this feature, for scenarios.
    virtual void RegisterCommands(ScenarioRunner&) {}
    // The feature's section of the session report, once the wizard is gone.
    virtual void AddToReport(Report&) const {}
};

} // namespace tvx::sim
