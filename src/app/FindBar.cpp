#include "app/FindBar.h"

#include "app/JokeView.h"
#include "platform/AppError.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace {

// The field's colour while its text is found nowhere.
const QColor NotFoundColor(255, 200, 200);

QToolButton *FlatButton(QWidget *parent, const char *name, const QString &hint)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

TFindBar::TFindBar(TJokeView *view, QWidget *parent) : QWidget(parent), FView(view)
{
    setObjectName(QStringLiteral("pnlKereses"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(4);

    auto *caption = new QLabel(QStringLiteral("Keresés:"), this);
    edtKereses = new QLineEdit(this);
    edtKereses->setObjectName(QStringLiteral("edtKereses"));
    edtKereses->setClearButtonEnabled(true);
    edtKereses->setToolTip(QStringLiteral("Amit a viccekben keresek"));
    caption->setBuddy(edtKereses);
    sbElozo = FlatButton(this, "sbElozo", QStringLiteral("Előző találat (Shift+F3)"));
    sbElozo->setArrowType(Qt::UpArrow);
    sbKovetkezo = FlatButton(this, "sbKovetkezo", QStringLiteral("Következő találat (F3, Enter)"));
    sbKovetkezo->setArrowType(Qt::DownArrow);
    lblTalalat = new QLabel(this);
    lblTalalat->setObjectName(QStringLiteral("lblTalalat"));
    lblTalalat->setMinimumWidth(lblTalalat->fontMetrics().horizontalAdvance(QStringLiteral("Nincs találat")) + 8);
    cbEkezetek = new QCheckBox(QStringLiteral("Ékezetek nélkül"), this);
    cbEkezetek->setObjectName(QStringLiteral("cbEkezetek"));
    cbEkezetek->setToolTip(QStringLiteral("A „szorny” a „szörny” szót is megtalálja"));
    cbEkezetek->setFocusPolicy(Qt::NoFocus);
    sbBezar = FlatButton(this, "sbBezar", QStringLiteral("Bezár (Esc)"));
    sbBezar->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));

    row->addWidget(caption);
    row->addWidget(edtKereses, 1);
    row->addWidget(sbElozo);
    row->addWidget(sbKovetkezo);
    row->addWidget(lblTalalat);
    row->addWidget(cbEkezetek);
    row->addWidget(sbBezar);

    connect(edtKereses, &QLineEdit::textEdited, this, Guarded([this](const QString &text) { TextEdited(text); }));
    // The clear button empties the field without an edit of the reader's.
    connect(edtKereses, &QLineEdit::textChanged, this, Guarded([this](const QString &text) {
                if (text.isEmpty() && !FTyped.isEmpty())
                    TextEdited(text);
            }));
    connect(sbElozo, &QToolButton::clicked, this, Guarded([this] { FindPrevious(); }));
    connect(sbKovetkezo, &QToolButton::clicked, this, Guarded([this] { FindNext(); }));
    connect(sbBezar, &QToolButton::clicked, this, Guarded([this] { Close(); }));
    connect(cbEkezetek, &QCheckBox::toggled, this, Guarded([this] { AccentsToggled(); }));
    // Before the window's key preview, which would take Esc for the tray.
    qApp->installEventFilter(this);
    hide();
}

bool TFindBar::IgnoreAccents() const
{
    return cbEkezetek->isChecked();
}

void TFindBar::SetIgnoreAccents(bool ignore)
{
    cbEkezetek->setChecked(ignore);
}

void TFindBar::Open()
{
    show();
    edtKereses->setFocus(Qt::ShortcutFocusReason);
    edtKereses->selectAll();
    // The jokes are folded now, so that no key typed waits for it.
    Search();
    if (edtKereses->text().isEmpty())
        return;
    if (FSearch && FSearchedText == edtKereses->text() && FHit.Found())
        Show(FHit, false);
    else
        Recount();
}

void TFindBar::Close()
{
    hide();
    ClearMarks();
    FView->setFocus(Qt::OtherFocusReason);
}

int TFindBar::TopJoke() const
{
    return qMax(0, FView->TopJoke());
}

TJokeSearch &TFindBar::Search()
{
    const FindOptions options{true, IgnoreAccents()};
    if (!FSearch || FSearch->Options() != options || FJokesVersion != FView->JokesVersion()) {
        FSearch = std::make_unique<TJokeSearch>(FView->Jokes(), !FView->PictureDir().isEmpty(), options);
        FJokesVersion = FView->JokesVersion();
        FSearchedText.clear();
        FHit = {};
    }
    return *FSearch;
}

SearchHit TFindBar::FindFrom(int joke)
{
    const SearchHit hit = Search().Find(edtKereses->text(), joke);
    FSearchedText = edtKereses->text();
    return hit;
}

int TFindBar::TypingStart() const
{
    const int current = FHit.Found() && FSearch ? FSearch->JokeOf(FHit) : -1;
    return FView->JokeInView(current) ? current : TopJoke();
}

void TFindBar::TextEdited(const QString &text)
{
    const int start = TypingStart();
    FTyped = text;
    FHit = {};
    if (text.isEmpty()) {
        FSearchedText.clear();
        ClearMarks();
        lblTalalat->clear();
        SetNotFoundLook(false);
        return;
    }
    const SearchHit hit = FindFrom(start);
    hit.Found() ? Show(hit, true) : ShowNothingFound();
}

void TFindBar::FindNext()
{
    Step(true);
}

void TFindBar::FindPrevious()
{
    Step(false);
}

void TFindBar::Step(bool forward)
{
    if (isHidden())
        show();
    if (edtKereses->text().isEmpty())
        return Open();
    Search();
    SearchHit hit;
    // A text not counted yet (another collection, other options) starts at
    // the joke at the top.
    if (FSearchedText != edtKereses->text())
        hit = FindFrom(TopJoke());
    else if (FHit.Found())
        hit = forward ? FSearch->Next(FHit) : FHit;
    else
        hit = FSearch->FirstFrom(TopJoke());
    if (!forward)
        hit = FSearch->Previous(hit);
    hit.Found() ? Show(hit, true) : ShowNothingFound();
}

void TFindBar::AccentsToggled()
{
    emit IgnoreAccentsChanged(IgnoreAccents());
    if (isHidden() || edtKereses->text().isEmpty())
        return;
    const SearchHit hit = FindFrom(TypingStart());
    hit.Found() ? Show(hit, true) : ShowNothingFound();
}

void TFindBar::JokesReplaced()
{
    FSearch.reset();
    FSearchedText.clear();
    FHit = {};
    if (isHidden())
        return;
    if (edtKereses->text().isEmpty())
        Search();
    else
        Recount();
}

void TFindBar::Recount()
{
    FindFrom(TopJoke());
    if (FSearch->Count() == 0)
        return ShowNothingFound();
    Show({}, false);
}

void TFindBar::Show(const SearchHit &hit, bool move)
{
    FHit = hit;
    int joke = -1;
    LineMatch place;
    if (hit.Found()) {
        joke = FSearch->JokeOf(hit);
        place = FSearch->PlaceOf(FView->Jokes(), hit);
    }
    FView->SetFoundText(
        [this](int k) { return FSearch ? FSearch->MatchesIn(FView->Jokes(), k) : std::vector<LineMatch>(); }, joke,
        place);
    if (move && hit.Found())
        FView->BringIntoView(joke, place.line, place.column);
    const QString count = QString::number(FSearch->Count());
    lblTalalat->setText(hit.Found() ? QString::number(hit.index + 1) + QStringLiteral(" / ") + count
                                    : count + QStringLiteral(" találat"));
    SetNotFoundLook(false);
}

void TFindBar::ShowNothingFound()
{
    FHit = {};
    ClearMarks();
    lblTalalat->setText(QStringLiteral("Nincs találat"));
    SetNotFoundLook(true);
}

void TFindBar::ClearMarks()
{
    FView->SetFoundText(nullptr);
}

void TFindBar::SetNotFoundLook(bool notFound)
{
    QPalette pal = edtKereses->palette();
    pal.setColor(QPalette::Base, notFound ? NotFoundColor : palette().color(QPalette::Base));
    edtKereses->setPalette(pal);
}

bool TFindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != edtKereses || event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    switch (key->key()) {
    case Qt::Key_Escape:
        RunGuarded([this] { Close(); });
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        RunGuarded([&] { key->modifiers() & Qt::ShiftModifier ? FindPrevious() : FindNext(); });
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // The field has no use for them: they move the jokes.
        RunGuarded([&] { FView->KeyScroll(key); });
        return true;
    default:
        return false;
    }
}
