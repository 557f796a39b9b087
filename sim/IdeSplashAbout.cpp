#include "sim/IdeSplashAbout.h"

namespace tvx::sim {

IdeSplashAbout::IdeSplashAbout(TIDEServices& services)
    : services_(services), splash_(new TSplashScreenServices()), aboutBox_(new TAboutBoxServices())
{
    splash_->StatusMessage(u"Loading packages...");
    SplashScreenServices = splash_.get();
    services_.AddService<IOTAAboutBoxServices>(aboutBox_.get());
}

IdeSplashAbout::~IdeSplashAbout()
{
    services_.RemoveService(tvx::IidOf<IOTAAboutBoxServices>);
    if (SplashScreenServices == splash_.get())
        SplashScreenServices = nullptr;
}

} // namespace tvx::sim
