#include "sim/splashabout/IdeSplashAbout.h"

#include "sim/Report.h"
#include "sim/SimulatedIde.h"

namespace tvx::sim {

void IdeSplashAbout::Build()
{
    splash_ = tvx::IntfPtr<TSplashScreenServices>(new TSplashScreenServices());
    aboutBox_ = tvx::IntfPtr<TAboutBoxServices>(new TAboutBoxServices());
    splash_->StatusMessage(u"Loading packages...");
    SplashScreenServices = splash_.get();
    ide_.Services().AddService<IOTAAboutBoxServices>(aboutBox_.get());
}

IdeSplashAbout::~IdeSplashAbout()
{
    ide_.Services().RemoveService(tvx::IidOf<IOTAAboutBoxServices>);
    if (SplashScreenServices == splash_.get())
        SplashScreenServices = nullptr;
}

void IdeSplashAbout::AddToReport(Report& report) const
{
    for (const TSplashPluginLine& line : splash_->PluginLines())
        report.Services.Splash.push_back(SplashLineRecord{line.Caption, line.Bitmap != nullptr, line.IsUnRegistered,
                                                          line.LicenseStatus, line.SKUName});
    for (const TAboutBoxEntry& entry : aboutBox_->Entries())
        report.Services.About.push_back(AboutEntryRecord{entry.IsProduct, entry.DialogTitle, entry.Copyright,
                                                         entry.Title, entry.Description, entry.AboutImage != nullptr,
                                                         entry.ProductImage != nullptr, entry.IsUnRegistered,
                                                         entry.LicenseStatus, entry.SKUName});
}

} // namespace tvx::sim
