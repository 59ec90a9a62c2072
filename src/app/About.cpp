#include "app/About.h"

#include "app/Artwork.h"
#include "app/Maker.h"
#include "platform/AppError.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

Tfrm_About *frm_About = nullptr;

namespace {

QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text, int pixelHeight, bool bold)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    label->setFont(font);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->adjustSize();
    return label;
}

// The window's lowered bevel is one pixel wide on every side.
constexpr int ClientWidth = 474;
constexpr int Bevel = 1;

// A label whose text would not fit into the given width with the font the
// system found for "Tahoma" gets a smaller size until it does: its text is
// shown whole.
void FitWidth(QLabel *label, int room)
{
    QFont font = label->font();
    while (label->width() > room && font.pixelSize() > 6) {
        font.setPixelSize(font.pixelSize() - 1);
        label->setFont(font);
        label->adjustSize();
    }
}

// Places a right-aligned label so that its right edge stands at right.
void PlaceRight(QLabel *label, int right, int top)
{
    FitWidth(label, right - Bevel);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->move(right - label->width(), top);
}

void PlaceLeft(QLabel *label, int left, int top)
{
    FitWidth(label, ClientWidth - Bevel - left);
    label->move(left, top);
}

} // namespace

Tfrm_About::Tfrm_About(QWidget *parent)
    : QDialog(parent, Qt::Tool), FLogo(new QImage(LogoPicture()))
{
    setObjectName(QStringLiteral("frm_About"));
    setWindowTitle(QStringLiteral("Névjegy"));
    setFixedSize(ClientWidth, 233);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    sbBezar = new QToolButton(this);
    sbBezar->setObjectName(QStringLiteral("sbBezar"));
    sbBezar->setAutoRaise(true);
    sbBezar->setIcon(CloseGlyph());
    sbBezar->setIconSize(QSize(12, 12));
    sbBezar->setGeometry(444, 8, 23, 22);
    sbBezar->setCursor(Qt::PointingHandCursor);
    connect(sbBezar, &QToolButton::clicked, this, Guarded([this] { sbBezarClick(); }));

    Label1 = MakeLabel(this, "Label1", QStringLiteral("Zumoria V3.0.1.47"), 15, true);
    PlaceRight(Label1, 465, 36);
    Label2 = MakeLabel(this, "Label2", QString::fromUtf8(Maker::Name), 11, false);
    PlaceRight(Label2, 464, 56);
    Label4 = MakeLabel(this, "Label4", QStringLiteral("Remélem, hogy egy jól használható programmal"), 11, false);
    PlaceLeft(Label4, 232, 188);
    Label9 = MakeLabel(this, "Label9", QStringLiteral("segíthetem Önt."), 11, false);
    PlaceLeft(Label9, 232, 204);
    frm_About = this;
}

Tfrm_About::~Tfrm_About()
{
    delete FLogo;
    if (frm_About == this)
        frm_About = nullptr;
}

void Tfrm_About::sbBezarClick()
{
    done(QDialog::Accepted);
}

void Tfrm_About::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    // The panel's lowered bevel.
    p.setPen(shadow);
    p.drawLine(0, 0, width() - 1, 0);
    p.drawLine(0, 0, 0, height() - 1);
    p.setPen(light);
    p.drawLine(0, height() - 1, width() - 1, height() - 1);
    p.drawLine(width() - 1, 0, width() - 1, height() - 1);
    if (!FLogo->isNull())
        p.drawImage(QRect(20, 20, 200, 200), *FLogo);
    // Bevel1: a bottom line, 229 wide at 232, 76.
    p.setPen(shadow);
    p.drawLine(232, 76, 232 + 228, 76);
    p.setPen(light);
    p.drawLine(232, 77, 232 + 228, 77);
}
