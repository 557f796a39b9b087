// The simulated IDE's splash screen and About box: the IDE sets the global
// SplashScreenServices while it starts and offers the About-box service
// through BorlandIDEServices. Both keep what add-ins give them.
#pragma once

#include "interop/IntfPtr.h"
#include "sim/IdePart.h"
#include "sim/splashabout/SplashAboutServices.h"

namespace tvx::sim {

class SimulatedIde;

class IdeSplashAbout final : public IdePart {
public:
    explicit IdeSplashAbout(SimulatedIde& ide) : ide_(ide) {}
    ~IdeSplashAbout() override;

    void Build() override;
    void AddToReport(Report& report) const override;

    const TSplashScreenServices& Splash() const noexcept { return *splash_; }
    const TAboutBoxServices& AboutBox() const noexcept { return *aboutBox_; }

private:
    SimulatedIde& ide_;
    tvx::IntfPtr<TSplashScreenServices> splash_;
    tvx::IntfPtr<TAboutBoxServices> aboutBox_;
};

} // namespace tvx::sim
