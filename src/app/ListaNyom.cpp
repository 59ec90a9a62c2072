#include "app/ListaNyom.h"

#include "app/JokeView.h"
#include "app/Maker.h"
#include "platform/AppError.h"
#include "report/model/RepBands.h"
#include "report/model/RepCtrls.h"
#include "report/definition/RepDefinition.h"
#include "report/output/RepPdfExport.h"
#include "report/output/RepPrinter.h"
#include "report/preview/RepStandardPreview.h"

#include <QCoreApplication>
#include <QFileInfo>

TrepLista *repLista = nullptr;

// The resource's initialiser lives in the global namespace.
static void InitReportResources()
{
    Q_INIT_RESOURCE(ListaNyom);
}

namespace {

TrepLista *MadeOnFirstUse = nullptr;

void FreeReportMadeOnFirstUse()
{
    delete MadeOnFirstUse;
    MadeOnFirstUse = nullptr;
}

struct Look
{
    int bandHeight; // pixels at 96 per inch
    int left;       // pixels
    TAlignment alignment;
    const char *fontName;
    int size;
    bool bold;
    TRepColor color;
    bool strip;
};

const Look &LookFor(TLineLook look)
{
    static const Look heading{24, 24, TAlignment::taLeftJustify, "Comic Sans MS", 12, true, 0x00FF0000, true};
    static const Look number{24, 24, TAlignment::taRightJustify, "Comic Sans MS", 10, true, 0x000000FF, false};
    static const Look text{19, 52, TAlignment::taLeftJustify, "Garamond", 11, false, 0x00000000, false};
    switch (look) {
    case TLineLook::Heading: return heading;
    case TLineLook::Number: return number;
    default: return text;
    }
}

template <class T>
T *Part(const TrepLista &report, const char *name)
{
    T *part = report.findChild<T *>(QString::fromLatin1(name));
    if (!part)
        throw AppError(QStringLiteral("The joke list has no %1").arg(QString::fromLatin1(name)));
    return part;
}

} // namespace

TLineLook LineLookOf(const QString &line)
{
    if (line.startsWith(u'*'))
        return TLineLook::Heading;
    if (line.startsWith(u'#'))
        return TLineLook::Number;
    return TLineLook::Text;
}

QStringList PrintListOf(const std::vector<TPrintJoke> &jokes)
{
    QStringList list;
    for (const TPrintJoke &joke : jokes) {
        list << joke.Heading;
        list += joke.Lines;
        list << joke.Bottom;
    }
    return list;
}

std::vector<TPrintJoke> PrintJokesOf(const std::vector<JokeEntry> &jokes)
{
    std::vector<TPrintJoke> printed;
    printed.reserve(jokes.size());
    for (size_t k = 0; k < jokes.size(); ++k)
        printed.push_back({jokes[k].heading, jokes[k].lines, TJokeView::BottomText(int(k))});
    return printed;
}

TrepLista::TrepLista(TRepControl *parent) : TRepReport(parent)
{
    InitReportResources();
    RegisterStandardPreviewInterface();
    RegisterPdfExportFilter();
    LoadReportDefinitionFile(*this, QStringLiteral(":/zumoria/report/ListaNyom.zrd"));
    RepStringsBand1 = Part<TRepStringsBand>(*this, "RepStringsBand1");
    RepExpr = Part<TRepExpr>(*this, "RepExpr");
    RepShape2 = Part<TRepShape>(*this, "RepShape2");
    replCim = Part<TRepLabel>(*this, "replCim");
    RepLabel1 = Part<TRepLabel>(*this, "RepLabel1");
    RepLabel1->SetCaption(QString::fromUtf8(Maker::HomePage));
    repLista = this;
}

TrepLista::~TrepLista()
{
    if (repLista == this)
        repLista = nullptr;
}

bool TrepLista::BindHandler(TRepControl *component, const QString &event, const QString &handler)
{
    if (event != QLatin1String("BeforePrint") || handler != QLatin1String("RepStringsBand1BeforePrint"))
        return TRepReport::BindHandler(component, event, handler);
    auto *band = qobject_cast<TRepCustomBand *>(component);
    if (!band)
        return false;
    band->BeforePrint = [this](TRepCustomBand *b, bool &print) { RepStringsBand1BeforePrint(b, print); };
    return true;
}

void TrepLista::SetPrintList(const QString &fileName, const QStringList &lines)
{
    replCim->SetCaption(QFileInfo(fileName).fileName());
    RepStringsBand1->SetItems(lines);
}

void TrepLista::RepStringsBand1BeforePrint(TRepCustomBand *, bool &)
{
    const Look &look = LookFor(LineLookOf(RepExpr->CurrentValue().Text()));
    RepStringsBand1->SetHeight(look.bandHeight);
    RepExpr->SetLeft(look.left);
    RepExpr->SetAlignment(look.alignment);
    TRepFont font = RepExpr->Font();
    font.Name = QString::fromLatin1(look.fontName);
    font.Size = look.size;
    font.Bold = look.bold;
    font.Italic = false;
    font.Underline = false;
    font.StrikeOut = false;
    font.Color = look.color;
    RepExpr->SetFont(font);
    RepShape2->SetEnabled(look.strip);
}

TrepLista &JokeListReport()
{
    if (repLista)
        return *repLista;
    MadeOnFirstUse = new TrepLista;
    qAddPostRoutine(FreeReportMadeOnFirstUse);
    return *MadeOnFirstUse;
}

void TrepLista::RenderInto(TRepPrinter &printer)
{
    printer.SetDestination(TRepPrinter::DestPageStore);
    printer.SetTitle(ReportTitle);
    GenerateReport(printer);
}
