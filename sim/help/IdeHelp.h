// The simulated IDE's help system: the help viewer a full installation
// registers, and the topics asked for by keyword.
#pragma once

#include "sim/IdePart.h"

#include <string_view>

namespace tvx::sim {

class SimulatedIde;

// Where a full installation puts Document Explorer, the help viewer.
inline constexpr std::u16string_view kHelpViewerPath =
    u"C:\\Program Files\\Common Files\\Microsoft Shared\\Help 9\\dexplore.exe";

class IdeHelp final : public IdePart {
public:
    explicit IdeHelp(SimulatedIde& ide) : ide_(ide) {}

    // Registers the help viewer's COM server.
    void Build() override;
    // help-keyword.
    void RegisterCommands(ScenarioRunner& runner) override;
    void AddToReport(Report& report) const override;

private:
    SimulatedIde& ide_;
};

} // namespace tvx::sim
