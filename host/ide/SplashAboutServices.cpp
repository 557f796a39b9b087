#include "host/ide/SplashAboutServices.h"

IOTASplashScreenServices* SplashScreenServices = nullptr;
