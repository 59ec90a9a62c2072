#pragma once
// TRepPageField: the status bar's page panel. It reads "Page 3 of 12" and
// takes a page number: clicked (or focused), it shows the number alone,
// selected; Return goes to the page typed (OnPageEntered), Escape or
// leaving the field puts the text back.

#include <QLineEdit>
#include <functional>

class TRepPageField : public QLineEdit
{
public:
    explicit TRepPageField(QWidget *parent = nullptr);

    // The page on show and the page count; the text reads "Page n of m".
    void SetPage(int page, int count);
    // "Page n of m" whether or not the field is being edited.
    QString PanelText() const;

    std::function<void(int page)> OnPageEntered;
    // Where the focus goes when the field is left with Return or Escape.
    void SetReturnFocus(QWidget *widget) { FReturnFocus = widget; }

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void ShowPanelText();
    void Leave();

    int FPage = 0;
    int FCount = 0;
    QString FPanelText;
    QWidget *FReturnFocus = nullptr;
};
