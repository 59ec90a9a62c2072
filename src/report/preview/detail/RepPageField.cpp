#include "report/preview/detail/RepPageField.h"

#include "platform/AppError.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

TRepPageField::TRepPageField(QWidget *parent) : QLineEdit(parent)
{
    setToolTip(QStringLiteral("Go to page: type its number and press Enter"));
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setFrame(false);
    // Looks like the other panels until it is edited.
    setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
    FPanelText = QStringLiteral("Page");
    ShowPanelText();
}

void TRepPageField::SetPage(int page, int count)
{
    FPage = page;
    FCount = count;
    FPanelText = QStringLiteral("Page %1 of %2").arg(page).arg(count);
    setFixedWidth(std::max(50, fontMetrics().horizontalAdvance(FPanelText + QStringLiteral("00")) + 8));
    if (!hasFocus())
        ShowPanelText();
}

QString TRepPageField::PanelText() const
{
    return FPanelText;
}

void TRepPageField::ShowPanelText()
{
    setText(FPanelText);
    setCursorPosition(0);
}

void TRepPageField::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    setText(QString::number(FPage));
    // After the click that focused the field has placed the cursor.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus())
            selectAll();
    });
}

void TRepPageField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    ShowPanelText();
}

void TRepPageField::Leave()
{
    if (FReturnFocus)
        FReturnFocus->setFocus(Qt::OtherFocusReason);
    else
        clearFocus();
    ShowPanelText();
}

void TRepPageField::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        bool ok = false;
        const int page = text().trimmed().toInt(&ok);
        Leave();
        if (ok && OnPageEntered)
            RunGuarded([&] { OnPageEntered(page); });
        return;
    }
    case Qt::Key_Escape: Leave(); return;
    default: QLineEdit::keyPressEvent(event);
    }
}
