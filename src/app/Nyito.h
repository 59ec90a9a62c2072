#pragma once
// Tfrm_Nyito: the splash window. Borderless, always on top, centred on the
// screen, it shows the logo for 2000 ms and then closes and frees itself.

#include <QWidget>

class QTimer;

class Tfrm_Nyito : public QWidget
{
    Q_OBJECT
public:
    explicit Tfrm_Nyito(QWidget *parent = nullptr);
    ~Tfrm_Nyito() override;

    QTimer *Timer1 = nullptr;

    void Timer1Timer();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage *FLogo;
};

// The splash window while it exists.
extern Tfrm_Nyito *frm_Nyito;
