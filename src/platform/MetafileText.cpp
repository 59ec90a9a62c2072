#include "platform/MetafileText.h"

#include "platform/EmfRecord.h"
#include "platform/Metafile.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_map>
#include <uemf.h>

namespace {

constexpr quint32 TextLimit = 16384; // characters read of one text record, as the player draws
constexpr int FontLimit = 20000;     // logical font height

struct FontFacts
{
    QFont font;
    double ascent = 13;
    double height = 16;
};

// Ascent and cell height of a font, looked up once per font and thread.
FontFacts Measured(QFont font)
{
    thread_local QHash<QFont, std::pair<double, double>> shared;
    auto it = shared.constFind(font);
    if (it == shared.constEnd()) {
        if (shared.size() >= 64)
            shared.clear();
        const QFontMetricsF m(font);
        it = shared.insert(font, {m.ascent(), m.height()});
    }
    return {font, it->first, it->second};
}

FontFacts FontOf(const EmfRecord &r)
{
    QString face;
    for (int i = 0; i < U_LF_FACESIZE; ++i) {
        const quint16 ch = quint16(r.U8(40 + 2 * i) | (r.U8(41 + 2 * i) << 8));
        if (ch == 0)
            break;
        face.append(QChar(ch));
    }
    QFont font(face.isEmpty() ? QStringLiteral("Arial") : face);
    font.setBold(r.I32(28) >= 600);
    font.setItalic(r.U8(32) != 0);
    font.setPixelSize(int(std::clamp<qint64>(std::llabs(qint64(r.I32(12))), 1, FontLimit)));
    return Measured(font);
}

struct DcState
{
    quint32 textAlign = U_TA_TOP | U_TA_LEFT;
    QPointF position;
    QTransform world;
    quint32 font = 0; // handle of the selected font, 0 for the default
    qint32 escapement = 0;
};

// Walks the records a text run depends on. With geometry the runs are
// measured; without, only their characters are gathered.
class TextReader
{
public:
    TextReader(const Metafile &page, bool geometry) : Page(page), Geometry(geometry)
    {
        ToPage.translate(-page.Frame().left() / 100.0 * page.PixelsPerMmX(),
                         -page.Frame().top() / 100.0 * page.PixelsPerMmY());
    }

    template <typename Emit>
    void Read(Emit &&sink)
    {
        ForEachEmfRecord(Page.Bytes(), [&](quint32 type, const EmfRecord &r) {
            switch (type) {
            case U_EMR_SETTEXTALIGN: S.textAlign = r.U32(8); break;
            case U_EMR_MOVETOEX:
            case U_EMR_LINETO: S.position = QPointF(r.I32(8), r.I32(12)); break;
            case U_EMR_SAVEDC:
                if (Saved.size() < 1024)
                    Saved.push_back(S);
                break;
            case U_EMR_RESTOREDC: {
                const qint32 rel = r.I32(8);
                if (rel < 0 && quint64(-qint64(rel)) <= Saved.size()) {
                    Saved.resize(Saved.size() - size_t(-qint64(rel)) + 1);
                    S = Saved.back();
                    Saved.pop_back();
                }
                break;
            }
            case U_EMR_SETWORLDTRANSFORM:
                S.world = QTransform(r.F32(8), r.F32(12), r.F32(16), r.F32(20), r.F32(24), r.F32(28));
                break;
            case U_EMR_MODIFYWORLDTRANSFORM: {
                const QTransform m(r.F32(8), r.F32(12), r.F32(16), r.F32(20), r.F32(24), r.F32(28));
                switch (r.U32(32)) {
                case U_MWT_IDENTITY: S.world = QTransform(); break;
                case U_MWT_LEFTMULTIPLY: S.world = m * S.world; break;
                case U_MWT_RIGHTMULTIPLY: S.world = S.world * m; break;
                default: break;
                }
                break;
            }
            case U_EMR_EXTCREATEFONTINDIRECTW:
                if (Geometry && r.size >= 104 && Fonts.size() < 65536)
                    Fonts[r.U32(8)] = {FontOf(r), r.I32(20)};
                break;
            case U_EMR_SELECTOBJECT:
                if (const quint32 ih = r.U32(8); !(ih & U_STOCK_OBJECT) && Fonts.count(ih)) {
                    S.font = ih;
                    S.escapement = Fonts[ih].second;
                }
                break;
            case U_EMR_DELETEOBJECT: Fonts.erase(r.U32(8)); break;
            case U_EMR_EXTTEXTOUTW: Text(r, true, sink); break;
            case U_EMR_EXTTEXTOUTA: Text(r, false, sink); break;
            default: break;
            }
        });
    }

private:
    const Metafile &Page;
    const bool Geometry;
    QTransform ToPage;
    DcState S;
    std::vector<DcState> Saved;
    std::unordered_map<quint32, std::pair<FontFacts, qint32>> Fonts;

    const FontFacts &Font()
    {
        static thread_local const FontFacts fallback = [] {
            QFont f(QStringLiteral("Arial"));
            f.setPixelSize(16);
            return Measured(f);
        }();
        const auto it = Fonts.find(S.font);
        return it == Fonts.end() ? fallback : it->second.first;
    }

    template <typename Emit>
    void Text(const EmfRecord &r, bool wide, Emit &sink)
    {
        quint32 count = r.U32(44);
        const quint32 offString = r.U32(48);
        const quint32 options = r.U32(52);
        const quint32 offDx = (options & U_ETO_NO_RECT) ? r.U32(56) : r.U32(72);
        if (r.broken || count == 0 || !r.Holds(offString, quint64(count) * (wide ? 2 : 1)))
            return;
        count = std::min(count, TextLimit);
        MetafileTextRun run;
        if (wide) {
            run.text.resize(qsizetype(count));
            for (quint32 i = 0; i < count; ++i)
                run.text[qsizetype(i)] =
                    QChar(quint16(r.U8(offString + 2 * i) | (r.U8(offString + 2 * i + 1) << 8)));
        } else {
            QStringDecoder decode("windows-1252");
            run.text = decode(QByteArrayView(r.p + offString, qsizetype(count)));
        }
        if (Geometry)
            Place(run, r, offDx);
        sink(std::move(run));
    }

    // The run's cell, its characters' edges and its transform, as the
    // player places the text.
    void Place(MetafileTextRun &run, const EmfRecord &r, quint32 offDx)
    {
        const FontFacts &font = Font();
        const qsizetype n = run.text.size();
        run.edges.resize(size_t(n) + 1);
        const bool advances = offDx != 0 && qsizetype(r.U32(44)) >= n && r.Holds(offDx, quint64(n) * 4);
        const QFontMetricsF metrics(font.font);
        double x = 0;
        for (qsizetype i = 0; i < n; ++i) {
            run.edges[size_t(i)] = x;
            x += advances ? r.I32(offDx + 4 * quint32(i)) : metrics.horizontalAdvance(run.text.at(i));
        }
        run.edges[size_t(n)] = x;
        const double width = x;

        QPointF ref(r.I32(36), r.I32(40));
        if (S.textAlign & U_TA_UPDATECP)
            ref = S.position;
        const quint32 h = S.textAlign & U_TA_CENTER;
        run.left = ref.x() - (h == U_TA_CENTER ? width / 2 : h == U_TA_RIGHT ? width : 0);
        const quint32 v = S.textAlign & U_TA_BASELINE;
        run.top = ref.y() - (v == U_TA_BASELINE ? font.ascent : v == U_TA_BOTTOM ? font.height : 0);
        run.height = font.height;
        if (S.textAlign & U_TA_UPDATECP)
            S.position.rx() += (h == U_TA_RIGHT ? -width : width);

        QTransform rotation;
        if (S.escapement % 3600 != 0) {
            rotation.translate(ref.x(), ref.y());
            rotation.rotate(-double(S.escapement) / 10.0);
            rotation.translate(-ref.x(), -ref.y());
        }
        run.toPage = rotation * S.world * ToPage;
    }
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
    std::vector<MetafileTextRun> runs;
    TextReader(page, true).Read([&](MetafileTextRun &&run) { runs.push_back(std::move(run)); });
    return runs;
}

QString MetafileText(const Metafile &page)
{
    QString text;
    TextReader(page, false).Read([&](MetafileTextRun &&run) {
        text += run.text;
        text += QLatin1Char('\n');
    });
    return text;
}
