#include "platform/deferredstandardicons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>

#include <optional>

namespace {

// Stands for a standard icon of `style` until something needs its pictures or sizes.
class DeferredStandardIconEngine : public QIconEngine
{
public:
    DeferredStandardIconEngine(QStyle *style, QStyle::StandardPixmap which, const QStyleOption *option,
                               const QWidget *widget)
        : m_style(style), m_which(which), m_widget(const_cast<QWidget *>(widget))
    {
        // The styles read only the option's common part (the layout direction, the palette).
        if (option)
            m_option = QStyleOption(*option);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        // `size` is in device pixels here; QIcon wants it in device-independent ones.
        return icon().pixmap(size / scale, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QString iconName() override { return icon().name(); }
    bool isNull() override { return icon().isNull(); }
    QString key() const override { return QStringLiteral("DeferredStandardIconEngine"); }
    QIconEngine *clone() const override { return new DeferredStandardIconEngine(*this); }

private:
    const QIcon &icon()
    {
        if (!m_icon)
            m_icon = m_style ? m_style->standardIcon(m_which, m_option ? &*m_option : nullptr, m_widget) : QIcon();
        return *m_icon;
    }

    QPointer<QStyle> m_style;
    QStyle::StandardPixmap m_which;
    std::optional<QStyleOption> m_option;
    QPointer<QWidget> m_widget;
    std::optional<QIcon> m_icon;
};

} // namespace

DeferredStandardIconsStyle::DeferredStandardIconsStyle(const QString &key) : QProxyStyle(key) {}

QIcon DeferredStandardIconsStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                                               const QWidget *widget) const
{
    return QIcon(new DeferredStandardIconEngine(baseStyle(), standardIcon, option, widget));
}
