#pragma once

#include "classroom/network/qrcode.h"

#include <QWidget>

// A QR code drawn as large as its place allows, each module a whole number of pixels so that
// a phone's camera reads it from the back of a room, with the light margin readers need.
class QrCodeView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int QuietModules = 4;

    explicit QrCodeView(QWidget *parent = nullptr);

    void setCode(const QrCode &code);
    const QrCode &code() const { return m_code; }
    // The square the code takes, margin included.
    QRect codeRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QrCode m_code;
};
