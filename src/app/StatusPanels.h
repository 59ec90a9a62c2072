#pragma once
// The status bar of the main window: sunken panels side by side, each with
// a fixed width except the last, which reaches to the right end of the bar.

#include <QStringList>
#include <QWidget>
#include <vector>

class TStatusPanels : public QWidget
{
    Q_OBJECT
public:
    // widths: the design width of every panel (the last one only as a minimum).
    explicit TStatusPanels(std::vector<int> widths, QWidget *parent = nullptr);

    QString PanelText(int index) const { return FTexts.value(index); }
    // Repaints only when the text changes.
    void SetPanelText(int index, const QString &text);
    // The rectangle of panel index in the bar's coordinates.
    QRect PanelRect(int index) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::vector<int> FWidths;
    QStringList FTexts;
};
