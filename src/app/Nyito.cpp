#include "app/Nyito.h"

#include "app/Artwork.h"
#include "platform/AppError.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

Tfrm_Nyito *frm_Nyito = nullptr;

namespace {
constexpr int ClientWidth = 214;
constexpr int ClientHeight = 208;
} // namespace

Tfrm_Nyito::Tfrm_Nyito(QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
      FLogo(new QImage(LogoPicture()))
{
    setObjectName(QStringLiteral("frm_Nyito"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(ClientWidth, ClientHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(2000);
    connect(Timer1, &QTimer::timeout, this, Guarded([this] { Timer1Timer(); }));
    Timer1->start();
    frm_Nyito = this;
}

Tfrm_Nyito::~Tfrm_Nyito()
{
    delete FLogo;
    if (frm_Nyito == this)
        frm_Nyito = nullptr;
}

void Tfrm_Nyito::Timer1Timer()
{
    Timer1->stop();
    close();
}

void Tfrm_Nyito::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    // The panel's lowered bevel.
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(0, 0, width() - 1, 0);
    p.drawLine(0, 0, 0, height() - 1);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(0, height() - 1, width() - 1, height() - 1);
    p.drawLine(width() - 1, 0, width() - 1, height() - 1);
    if (!FLogo->isNull())
        p.drawImage(QPoint((width() - FLogo->width()) / 2, (height() - FLogo->height()) / 2), *FLogo);
}
