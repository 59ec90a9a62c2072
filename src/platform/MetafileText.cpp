#include "platform/MetafileText.h"

#include "platform/EmfRecord.h"
#include "platform/Metafile.h"
#include "platform/MetafilePlayer.h"
#include "platform/MetafileSurface.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <uemf.h>

namespace {

// Characters read of one text record, as many as the player draws.
constexpr quint32 TextLimit = 16384;

// A surface that keeps the text the player draws, with where it stands,
// and draws nothing.
class TextSurface : public MetafileSurface
{
public:
    std::vector<MetafileTextRun> Runs;

    void SetTransform(const QTransform &transform, const QPainterPath *) override { FToPage = transform; }
    void DrawRect(const QRectF &, const QPen &, const QBrush &) override {}
    void DrawEllipse(const QRectF &, const QPen &, const QBrush &) override {}
    void DrawRoundedRect(const QRectF &, double, double, const QPen &, const QBrush &) override {}
    void DrawLine(const QPointF &, const QPointF &, const QPen &) override {}
    void DrawPath(const QPainterPath &, const QPen &, const QBrush &) override {}
    void FillRect(const QRectF &, const QBrush &) override {}
    void FillPath(const QPainterPath &, const QBrush &) override {}

    void DrawGlyphs(const MetafileGlyphs &run) override
    {
        std::vector<double> edges{0};
        for (const qint32 advance : run.advances)
            edges.push_back(edges.back() + advance);
        Add(run.text.toString(), run.baseline, run.raw.ascent(), run.raw.ascent() + run.raw.descent(),
            std::move(edges));
    }

    void DrawText(const QPointF &baseline, const QString &text, const QFont &font, const QColor &, bool) override
    {
        const QFontMetricsF metrics(font);
        std::vector<double> edges{0};
        for (const QChar c : text)
            edges.push_back(edges.back() + metrics.horizontalAdvance(c));
        Add(text, baseline, metrics.ascent(), metrics.height(), std::move(edges));
    }

private:
    void Add(QString text, const QPointF &baseline, double ascent, double height, std::vector<double> edges)
    {
        MetafileTextRun run;
        run.text = std::move(text);
        run.left = baseline.x();
        run.top = baseline.y() - ascent;
        run.height = height;
        run.edges = std::move(edges);
        run.toPage = FToPage;
        Runs.push_back(std::move(run));
    }

    QTransform FToPage;
};

} // namespace

QRectF MetafileTextRun::Box(qsizetype from, qsizetype count) const
{
    const qsizetype n = text.size();
    if (edges.size() != size_t(n) + 1 || n == 0)
        return {};
    from = std::clamp<qsizetype>(from, 0, n);
    const qsizetype to = std::clamp<qsizetype>(from + std::max<qsizetype>(count, 0), from, n);
    const double a = edges[size_t(from)], b = edges[size_t(to)];
    return toPage.mapRect(QRectF(left + std::min(a, b), top, std::abs(b - a), height));
}

std::vector<MetafileTextRun> MetafileTextRuns(const Metafile &page)
{
    TextSurface surface;
    PlayMetafile(surface, page, QRectF(0, 0, page.Width(), page.Height()));
    return std::move(surface.Runs);
}

QString MetafileText(const Metafile &page)
{
    QString text;
    ForEachEmfRecord(page.Bytes(), [&](quint32 type, const EmfRecord &r) {
        if (type != U_EMR_EXTTEXTOUTW && type != U_EMR_EXTTEXTOUTA)
            return;
        const QString run = EmfRecordText(r, type == U_EMR_EXTTEXTOUTW, TextLimit);
        if (run.isEmpty())
            return;
        text += run;
        text += QLatin1Char('\n');
    });
    return text;
}
