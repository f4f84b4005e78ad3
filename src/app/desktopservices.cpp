#include "app/desktopservices.h"

#include "pictures/gifpicture.h"
#include "pictures/jpegpicture.h"
#include "pictures/pcx/pcx.h"
#include "pictures/webpictures.h"

void registerPictureFormats(PictureRegistry &registry, int screenDepth)
{
    registerJpegFormats(registry, screenDepth);
    registerGifFormat(registry);
    registerPcx(registry);
    registerWebFormats(registry);
}

DesktopServices::DesktopServices(int screenDepth) : pictureDialogs(pictures)
{
    registerPictureFormats(pictures, screenDepth);
}

DesktopServices::~DesktopServices()
{
    unregisterPcx(pictures);
}
