#pragma once
// Tfrm_About: the About window ("Névjegy"), shown modally: the logo, the
// program's name and version, the maker's name and a short wish.

#include <QDialog>

class QLabel;
class QToolButton;

class Tfrm_About : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_About(QWidget *parent = nullptr);
    ~Tfrm_About() override;

    QToolButton *sbBezar = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label9 = nullptr;

    void sbBezarClick();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage *FLogo;
};

// The About window during its display.
extern Tfrm_About *frm_About;
