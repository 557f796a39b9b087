// The simulated IDE's splash screen and About box: the IDE sets the global
// SplashScreenServices while it starts and offers the About-box service
// through BorlandIDEServices. Both keep what add-ins give them.
#pragma once

#include "host/ide/IDEServices.h"
#include "host/ide/SplashAboutServices.h"
#include "interop/IntfPtr.h"

namespace tvx::sim {

class IdeSplashAbout {
public:
    explicit IdeSplashAbout(TIDEServices& services);
    ~IdeSplashAbout();
    IdeSplashAbout(const IdeSplashAbout&) = delete;
    IdeSplashAbout& operator=(const IdeSplashAbout&) = delete;

    const TSplashScreenServices& Splash() const noexcept { return *splash_; }
    const TAboutBoxServices& AboutBox() const noexcept { return *aboutBox_; }

private:
    TIDEServices& services_;
    tvx::IntfPtr<TSplashScreenServices> splash_;
    tvx::IntfPtr<TAboutBoxServices> aboutBox_;
};

} // namespace tvx::sim
