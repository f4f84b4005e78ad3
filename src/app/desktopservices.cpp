#include "app/desktopservices.h"

#include "pictures/gifpicture.h"
#include "pictures/jpegpicture.h"
#include "pictures/pcx/pcx.h"
#include "pictures/webpictures.h"

DesktopServices::DesktopServices(int screenDepth) : pictureDialogs(pictures)
{
    registerJpegFormats(pictures, screenDepth);
    registerGifFormat(pictures);
    registerPcx(pictures);
    registerWebFormats(pictures);
}

DesktopServices::~DesktopServices()
{
    unregisterPcx(pictures);
}
