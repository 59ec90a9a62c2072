#include "app/StatusPanels.h"

#include <QPainter>

TStatusPanels::TStatusPanels(std::vector<int> widths, QWidget *parent)
    : QWidget(parent), FWidths(std::move(widths))
{
    for (size_t i = 0; i < FWidths.size(); ++i)
        FTexts.append(QString());
    setFixedHeight(19);
}

void TStatusPanels::SetPanelText(int index, const QString &text)
{
    if (index < 0 || index >= FTexts.size() || FTexts.at(index) == text)
        return;
    FTexts[index] = text;
    update(PanelRect(index));
}

QRect TStatusPanels::PanelRect(int index) const
{
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += FWidths[size_t(i)] + 2;
    const bool last = index + 1 == int(FWidths.size());
    const int right = last ? width() - 1 : left + FWidths[size_t(index)] - 1;
    return QRect(QPoint(left, 2), QPoint(qMax(left, right), height() - 1));
}

QSize TStatusPanels::sizeHint() const
{
    int w = 0;
    for (int width : FWidths)
        w += width + 2;
    return {w, 19};
}

void TStatusPanels::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    for (int i = 0; i < int(FWidths.size()); ++i) {
        const QRect r = PanelRect(i);
        p.setPen(shadow);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(light);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(r.adjusted(3, 0, -3, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   FTexts.at(i));
    }
}
