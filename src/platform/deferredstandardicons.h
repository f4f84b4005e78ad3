#pragma once

#include <QProxyStyle>

// The desktop's style, whose standard icons are looked up when first drawn rather than when
// asked for. Qt's styles build them from PNG files, and reading the first PNG makes Qt load
// every image format plug-in installed (TIFF, WebP, MNG...) only to find that none of them is
// needed: the menu bar's hidden "»" button and the sheet's frame ask for icons at creation,
// which put that load in front of the main window's first showing.
class DeferredStandardIconsStyle : public QProxyStyle
{
public:
    // `key` names the style to draw with, as QStyleFactory knows it.
    explicit DeferredStandardIconsStyle(const QString &key);

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
