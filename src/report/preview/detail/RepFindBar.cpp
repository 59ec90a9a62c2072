#include "report/preview/detail/RepFindBar.h"

#include "platform/AppError.h"
#include "platform/MetafileText.h"
#include "report/preview/RepPreview.h"
#include "report/preview/detail/RepPreviewGlyphs.h"
#include "report/preview/detail/RepPreviewImage.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

namespace {

// How long typing may pause before the text is searched.
constexpr int TypingPause = 250;

QToolButton *GlyphButton(QWidget *parent, const char *name, const char *glyph, const QString &hint)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(PreviewGlyph(glyph));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TRepFindBar::TRepFindBar(TRepPreview *preview, QWidget *parent)
    : QWidget(parent), FPreview(preview), FText(new QLineEdit(this)), FAccents(new QCheckBox(this)),
      FResult(new QLabel(this)), FPause(new QTimer(this))
{
    setObjectName(QStringLiteral("FindBar"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(new QLabel(QStringLiteral("Find:"), this));
    FText->setObjectName(QStringLiteral("FindText"));
    FText->setClearButtonEnabled(true);
    FText->setMinimumWidth(200);
    FText->installEventFilter(this);
    row->addWidget(FText);
    QToolButton *previous =
        GlyphButton(this, "FindPrevious", "find-previous", QStringLiteral("Previous match (Shift+F3)"));
    QToolButton *next = GlyphButton(this, "FindNext", "find-next", QStringLiteral("Next match (F3)"));
    row->addWidget(previous);
    row->addWidget(next);
    FAccents->setObjectName(QStringLiteral("IgnoreAccents"));
    FAccents->setText(QStringLiteral("Ignore accents"));
    FAccents->setFocusPolicy(Qt::NoFocus);
    row->addWidget(FAccents);
    FResult->setObjectName(QStringLiteral("FindResult"));
    FResult->setMinimumWidth(90);
    row->addWidget(FResult);
    row->addStretch(1);
    QToolButton *close = GlyphButton(this, "FindClose", "close", QStringLiteral("Close the find bar (Esc)"));
    row->addWidget(close);

    FPause->setSingleShot(true);
    FPause->setInterval(TypingPause);
    connect(FPause, &QTimer::timeout, this, Guarded([this] { Search(FText->text()); }));
    connect(FText, &QLineEdit::textEdited, this, Guarded([this](const QString &) { FPause->start(); }));
    connect(FText, &QLineEdit::returnPressed, this, Guarded([this] { FindNext(); }));
    connect(previous, &QToolButton::clicked, this, Guarded([this](bool) { FindPrevious(); }));
    connect(next, &QToolButton::clicked, this, Guarded([this](bool) { FindNext(); }));
    connect(FAccents, &QCheckBox::toggled, this, Guarded([this](bool on) { SetIgnoreAccents(on); }));
    connect(close, &QToolButton::clicked, this, Guarded([this](bool) { Close(); }));
    hide();
}

void TRepFindBar::Open()
{
    show();
    FText->setFocus(Qt::ShortcutFocusReason);
    FText->selectAll();
}

void TRepFindBar::Close()
{
    FPause->stop();
    hide();
    FNeedle.clear();
    FMatches.clear();
    FCurrent = -1;
    FPreview->SetHighlights({}, -1);
    UpdateResult();
    FPreview->setFocus(Qt::OtherFocusReason);
}

bool TRepFindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != FText || event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Escape) {
        RunGuarded([this] { Close(); });
        return true;
    }
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        && (key->modifiers() & Qt::ShiftModifier)) {
        RunGuarded([this] { FindPrevious(); });
        return true;
    }
    return false;
}

void TRepFindBar::CatchUp()
{
    if (TRepPrinter *printer = FPreview->ShownPrinter())
        FIndex.CatchUp(*printer);
}

void TRepFindBar::Search(const QString &text)
{
    FPause->stop();
    if (FText->text() != text)
        FText->setText(text);
    CatchUp();
    FNeedle = text;
    FMatches = FIndex.Find(text, FAccents->isChecked(), 1, FIndex.PageCount(), MatchLimit);
    FSearched = FIndex.PageCount();
    // The first match on or after the page on show, else the very first.
    const int page = FPreview->PageNumber();
    const auto from =
        std::find_if(FMatches.begin(), FMatches.end(), [page](const auto &m) { return m.Page >= page; });
    FCurrent = FMatches.empty() ? -1 : int(from == FMatches.end() ? 0 : from - FMatches.begin());
    ShowCurrent();
    UpdateResult();
}

void TRepFindBar::SetIgnoreAccents(bool on)
{
    if (FAccents->isChecked() != on)
        FAccents->setChecked(on); // comes back here through toggled
    else if (!FNeedle.isEmpty())
        Search(FNeedle);
}

void TRepFindBar::FindNext()
{
    Step(1);
}

void TRepFindBar::FindPrevious()
{
    Step(-1);
}

void TRepFindBar::Step(int direction)
{
    if (FNeedle != FText->text() || FPause->isActive()) {
        Search(FText->text());
        return;
    }
    if (FMatches.empty())
        return;
    const int n = int(FMatches.size());
    FCurrent = ((FCurrent < 0 ? 0 : FCurrent + direction) % n + n) % n;
    ShowCurrent();
    UpdateResult();
}

void TRepFindBar::PagesAvailable()
{
    CatchUp();
    if (FNeedle.isEmpty() || FIndex.PageCount() <= FSearched)
        return;
    const bool hadNone = FMatches.empty();
    if (FMatches.size() < MatchLimit) {
        const std::vector<TRepPageTextIndex::Match> more = FIndex.Find(
            FNeedle, FAccents->isChecked(), FSearched + 1, FIndex.PageCount(), MatchLimit - FMatches.size());
        FMatches.insert(FMatches.end(), more.begin(), more.end());
    }
    FSearched = FIndex.PageCount();
    if (hadNone && !FMatches.empty()) {
        FCurrent = 0;
        ShowCurrent();
    } else {
        PageShown();
    }
    UpdateResult();
}

void TRepFindBar::PagesReplaced()
{
    FIndex.Clear();
    FMatches.clear();
    FCurrent = -1;
    FSearched = 0;
    if (!FNeedle.isEmpty())
        Search(FNeedle);
}

void TRepFindBar::PageShown()
{
    const TRepPreviewImage *image = FPreview->Image();
    const int page = FPreview->PageNumber();
    const auto first = std::lower_bound(FMatches.begin(), FMatches.end(), page,
                                        [](const auto &m, int p) { return m.Page < p; });
    FCurrentBox = QRectF();
    if (first == FMatches.end() || first->Page != page || !image->Page()) {
        FPreview->SetHighlights({}, -1);
        return;
    }
    // The page's text is one line a text record; the player draws a run of
    // each, but for any it leaves out, so lines and runs pair by their text.
    const QStringList lines = MetafileText(*image->Page()).split(QLatin1Char('\n'));
    const std::vector<MetafileTextRun> runs = MetafileTextRuns(*image->Page());
    std::vector<QRectF> boxes;
    int current = -1;
    qsizetype line = 0;
    int lineStart = 0; // where lines[line] starts in the page's text
    size_t run = 0;    // the first run not paired with a line before it
    for (auto m = first; m != FMatches.end() && m->Page == page; ++m) {
        while (line < lines.size() && lineStart + lines[line].size() < m->Offset) {
            lineStart += int(lines[line].size()) + 1;
            run += run < runs.size() && runs[run].text == lines[line];
            ++line;
        }
        if (line == lines.size() || run == runs.size() || runs[run].text != lines[line])
            continue;
        if (m - FMatches.begin() == FCurrent)
            current = int(boxes.size());
        boxes.push_back(runs[run].Box(m->Offset - lineStart, m->Length));
    }
    FCurrentBox = current >= 0 ? boxes[size_t(current)] : QRectF();
    FPreview->SetHighlights(std::move(boxes), current);
}

void TRepFindBar::ShowCurrent()
{
    if (FCurrent < 0) {
        FPreview->SetHighlights({}, -1);
        return;
    }
    const int page = FMatches[size_t(FCurrent)].Page;
    FPreview->SetPageNumber(page);
    PageShown();
    if (!FCurrentBox.isEmpty())
        FPreview->ShowBox(FCurrentBox);
}

QString TRepFindBar::ResultText() const
{
    return FResult->text();
}

void TRepFindBar::UpdateResult()
{
    if (FNeedle.isEmpty())
        FResult->clear();
    else if (FMatches.empty())
        FResult->setText(QStringLiteral("No matches"));
    else
        FResult->setText(QStringLiteral("%1 / %2%3")
                             .arg(FCurrent + 1)
                             .arg(FMatches.size())
                             .arg(FMatches.size() >= MatchLimit ? QStringLiteral("+") : QString()));
}
