#include "platform/Platform.h"

#include "platform/QtPlatform.h"

namespace {
Platform *installedPlatform = nullptr;
}

Platform &CurrentPlatform()
{
    static QtPlatform realPlatform;
    return installedPlatform ? *installedPlatform : realPlatform;
}

void SetCurrentPlatform(Platform *platform)
{
    installedPlatform = platform;
    SetCurrentTickClock(platform);
    SetCurrentDesktop(platform);
}
