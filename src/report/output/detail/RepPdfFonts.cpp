#include "report/output/detail/RepPdfFonts.h"

#include "report/output/detail/RepPdfDocument.h"

#include <QtEndian>
#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <stdexcept>
#include <unordered_map>
#include <hb-ot.h>
#include <hb-subset.h>
#include <hb.h>

namespace {

constexpr int SlotSize = 256;
constexpr int UnknownAdvance = INT_MIN;
// Characters below this are found in a flat table, the rest in a hash.
constexpr char16_t TableSize = 0x2100;

// Tables the pages never need: text is already laid out, so the
// substitution and positioning tables (and the glyphs only they reach) stay
// out of the subset.
constexpr hb_tag_t DroppedTables[] = {
    HB_TAG('G', 'S', 'U', 'B'), HB_TAG('G', 'P', 'O', 'S'), HB_TAG('G', 'D', 'E', 'F'),
    HB_TAG('B', 'A', 'S', 'E'), HB_TAG('J', 'S', 'T', 'F'), HB_TAG('M', 'A', 'T', 'H'),
    HB_TAG('k', 'e', 'r', 'n'), HB_TAG('D', 'S', 'I', 'G'), HB_TAG('m', 'o', 'r', 'x'),
    HB_TAG('k', 'e', 'r', 'x'), HB_TAG('f', 'e', 'a', 't'), HB_TAG('t', 'r', 'a', 'k'),
};

// HarfBuzz objects with their owners; declared in the order they are made,
// they go in the reverse one (a subset's file before its plan, its plan
// before its input).
struct HbRelease
{
    void operator()(hb_face_t *p) const { hb_face_destroy(p); }
    void operator()(hb_blob_t *p) const { hb_blob_destroy(p); }
    void operator()(hb_font_t *p) const { hb_font_destroy(p); }
    void operator()(hb_subset_input_t *p) const { hb_subset_input_destroy(p); }
    void operator()(hb_subset_plan_t *p) const { hb_subset_plan_destroy(p); }
};
template <typename T>
using Hb = std::unique_ptr<T, HbRelease>;

QByteArrayView BytesOf(hb_blob_t *blob)
{
    unsigned length = 0;
    const char *data = hb_blob_get_data(blob, &length);
    return QByteArrayView(data, qsizetype(length));
}

// A HarfBuzz face that reads its tables from raw, the very font Qt draws
// with, so nothing depends on where the font file lies. Each table is read
// once and shared: HarfBuzz counts on a table asked for twice being the same
// bytes.
class RawFontTables
{
public:
    explicit RawFontTables(const QRawFont &raw) : FRaw(raw) {}
    ~RawFontTables()
    {
        for (const auto &[tag, blob] : FTables)
            hb_blob_destroy(blob);
    }

    hb_blob_t *Table(hb_tag_t tag)
    {
        auto [it, added] = FTables.try_emplace(tag, nullptr);
        if (added) {
            const char name[5] = {char(tag >> 24), char(tag >> 16), char(tag >> 8), char(tag), 0};
            auto *data = new QByteArray(FRaw.fontTable(name));
            it->second = hb_blob_create(data->constData(), unsigned(data->size()), HB_MEMORY_MODE_READONLY, data,
                                        [](void *p) { delete static_cast<QByteArray *>(p); });
        }
        return hb_blob_reference(it->second);
    }

private:
    QRawFont FRaw;
    std::unordered_map<hb_tag_t, hb_blob_t *> FTables;
};

hb_face_t *FaceFromRawFont(const QRawFont &raw)
{
    return hb_face_create_for_tables(
        [](hb_face_t *, hb_tag_t tag, void *tables) { return static_cast<RawFontTables *>(tables)->Table(tag); },
        new RawFontTables(raw), [](void *tables) { delete static_cast<RawFontTables *>(tables); });
}

quint16 U16(const QByteArray &table, int offset)
{
    return table.size() >= offset + 2 ? qFromBigEndian<quint16>(table.constData() + offset) : 0;
}

qint16 I16(const QByteArray &table, int offset)
{
    return qint16(U16(table, offset));
}

// A PDF name from a PostScript font name: letters, digits and - _ . only.
QByteArray PdfNameOf(const QByteArray &text)
{
    QByteArray name;
    for (char c : text)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_'
            || c == '.')
            name += c;
    return name.isEmpty() ? QByteArray("Font") : name;
}

// Appends a CMap's entries in blocks of at most 100, as CMaps want them.
void AppendCMapBlocks(QByteArray &out, const std::vector<QByteArray> &entries, const char *begin,
                      const char *end)
{
    for (size_t at = 0; at < entries.size(); at += 100) {
        const size_t n = std::min<size_t>(100, entries.size() - at);
        out += QByteArray::number(qulonglong(n)) + ' ' + begin + '\n';
        for (size_t i = at; i < at + n; ++i)
            out += entries[i] + '\n';
        out += QByteArray(end) + '\n';
    }
}

QByteArray Hex2(int byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "<%02X>", byte & 0xFF);
    return text;
}

// What subsets to glyphs (and .notdef), as this writer subsets; none when
// the subsetter fails.
Hb<hb_subset_input_t> SubsetInput(const std::vector<quint32> &glyphs)
{
    Hb<hb_subset_input_t> input(hb_subset_input_create_or_fail());
    if (!input)
        return nullptr;
    hb_set_t *set = hb_subset_input_glyph_set(input.get());
    hb_set_add(set, 0);
    for (quint32 g : glyphs)
        hb_set_add(set, g);
    hb_set_t *dropped = hb_subset_input_set(input.get(), HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (hb_tag_t tag : DroppedTables)
        hb_set_add(dropped, tag);
    return input;
}

} // namespace

// One font file as the pages use it: its codes, and later its subset.
class RepPdfFace
{
public:
    RepPdfFace(const QRawFont &raw, bool cff) : Raw(raw), Cff(cff) { ByChar.fill(-1); }

    int CodeOf(char16_t c, quint32 glyph)
    {
        int &known = c < TableSize ? ByChar[c] : Other.try_emplace(c, -1).first->second;
        if (known >= 0 && Glyphs[size_t(known)] == glyph)
            return known;
        known = Assign(c, glyph);
        return known;
    }

    // Slots that hand out codes, and per code its glyph (0 while free), its
    // character and the first code of the same glyph.
    const QRawFont Raw;
    const bool Cff;
    std::vector<std::array<bool, SlotSize>> Taken;
    std::vector<quint32> Glyphs;
    std::vector<char16_t> Chars;
    std::vector<int> First;

private:
    int Assign(char16_t c, quint32 glyph)
    {
        if (Taken.empty() || std::count(Taken.back().begin(), Taken.back().end(), false) == 0) {
            Taken.emplace_back().fill(false);
            Glyphs.resize(Taken.size() * SlotSize, 0);
            Chars.resize(Glyphs.size(), 0);
            First.resize(Glyphs.size(), -1);
        }
        auto &taken = Taken.back();
        // The character's own byte where it is free, so Latin text reads as
        // itself in the page streams.
        int byte = c < SlotSize && !taken[c] ? int(c)
                                             : int(std::find(taken.begin(), taken.end(), false) - taken.begin());
        taken[size_t(byte)] = true;
        const int code = int(Taken.size() - 1) * SlotSize + byte;
        Glyphs[size_t(code)] = glyph;
        Chars[size_t(code)] = c;
        First[size_t(code)] = ByGlyph.try_emplace(glyph, code).first->second;
        return code;
    }

    std::array<int, TableSize> ByChar;
    std::unordered_map<char16_t, int> Other;
    std::unordered_map<quint32, int> ByGlyph;
};

int RepPdfSizedFont::CodeOf(char16_t c, quint32 glyph)
{
    return FFace.CodeOf(c, glyph);
}

int RepPdfSizedFont::AdvanceOf(int code, int drawnWith)
{
    const size_t first = size_t(FFace.First[size_t(code)]);
    if (first >= FAdvances.size())
        FAdvances.resize(FFace.Glyphs.size(), UnknownAdvance);
    int &advance = FAdvances[first];
    if (advance == UnknownAdvance)
        advance = drawnWith;
    return advance;
}

const QByteArray &RepPdfSizedFont::ResourceName(int slot)
{
    if (size_t(slot) >= FNames.size())
        FNames.resize(size_t(slot) + 1);
    QByteArray &name = FNames[size_t(slot)];
    if (name.isEmpty())
        name = 'F' + QByteArray::number(FOwner.FNextName++);
    return name;
}

RepPdfFonts::RepPdfFonts(RepPdfDocument &document) : FDocument(document) {}

RepPdfFonts::~RepPdfFonts() = default;

RepPdfSizedFont *RepPdfFonts::Sized(const QFont &font, const QRawFont &raw)
{
    const auto known = FByFont.constFind(font);
    if (known != FByFont.constEnd())
        return *known;
    RepPdfSizedFont *sized = nullptr;
    if (RepPdfFace *face = FaceOf(raw)) {
        for (const auto &s : FSized)
            if (&s->FFace == face && s->FSize == raw.pixelSize())
                sized = s.get();
        if (!sized)
            sized = FSized.emplace_back(std::make_unique<RepPdfSizedFont>(*face, raw.pixelSize(), *this)).get();
    }
    FByFont.insert(font, sized);
    return sized;
}

RepPdfFace *RepPdfFonts::FaceOf(const QRawFont &raw)
{
    if (!raw.isValid())
        return nullptr;
    const QByteArray head = raw.fontTable("head");
    for (const auto &face : FFaces)
        if (face->Raw.familyName() == raw.familyName() && face->Raw.styleName() == raw.styleName()
            && face->Raw.fontTable("head") == head)
            return face.get();
    if (head.size() < 54)
        return nullptr;
    // Outlines this writer embeds: TrueType (maxp 1.0) or CFF (maxp 0.5
    // without CFF2); not variable CFF2 or bitmaps only. The big outline
    // tables themselves are not touched here.
    const quint32 maxp = qFromBigEndian<quint32>(raw.fontTable("maxp").leftJustified(4, '\0').constData());
    const bool cff = maxp == 0x00005000;
    if ((maxp != 0x00010000 && !cff) || !raw.fontTable("CFF2").isEmpty())
        return nullptr;
    // A font whose maker allows no embedding (restricted licence) or only
    // whole is left to the fallback.
    const quint16 fsType = U16(raw.fontTable("OS/2"), 8);
    if ((fsType & 0x000F) == 0x0002 || (fsType & 0x0100))
        return nullptr;
    // A trial subset finds fonts the subsetter cannot cut before any page
    // relies on them.
    const Hb<hb_face_t> source(FaceFromRawFont(raw));
    const Hb<hb_subset_input_t> input = SubsetInput({});
    if (!input || !Hb<hb_face_t>(hb_subset_or_fail(source.get(), input.get())))
        return nullptr;
    return FFaces.emplace_back(std::make_unique<RepPdfFace>(raw, cff)).get();
}

namespace {

struct EmbeddedFace
{
    QByteArray baseFont; // subset tag + PostScript name
    int descriptor = 0;
    std::vector<int> cmaps;        // per slot
    std::vector<int> toUnicodes;   // per slot
    std::vector<quint32> newGlyph; // per code: the glyph in the subset
};

QByteArray PostScriptName(hb_face_t *face)
{
    char text[128];
    unsigned size = sizeof text;
    if (hb_ot_name_get_utf8(face, HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &size, text) == 0)
        return {};
    return PdfNameOf(QByteArray(text, int(size)));
}

// Six capitals that tell this subset from others of the same font.
QByteArray SubsetTag(const std::vector<quint32> &glyphs, const QByteArray &name)
{
    size_t h = qHash(name);
    for (quint32 g : glyphs)
        h = h * 1000003u ^ g;
    QByteArray tag;
    for (int i = 0; i < 6; ++i, h /= 26)
        tag += char('A' + h % 26);
    return tag + '+';
}

QByteArray EncodingCMap(const QByteArray &name, const std::vector<QByteArray> &entries)
{
    QByteArray text = "/CIDInit/ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                      "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>def\n"
                      "/CMapName/"
                      + name
                      + " def\n/CMapType 1 def\n"
                        "1 begincodespacerange\n<00><FF>\nendcodespacerange\n";
    AppendCMapBlocks(text, entries, "begincidchar", "endcidchar");
    text += "endcmap\nCMapName currentdict/CMap defineresource pop\nend\nend\n";
    return text;
}

QByteArray ToUnicodeCMap(const std::vector<QByteArray> &entries)
{
    QByteArray text = "/CIDInit/ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                      "/CIDSystemInfo<</Registry(Adobe)/Ordering(UCS)/Supplement 0>>def\n"
                      "/CMapName/Adobe-Identity-UCS def\n/CMapType 2 def\n"
                      "1 begincodespacerange\n<00><FF>\nendcodespacerange\n";
    AppendCMapBlocks(text, entries, "beginbfchar", "endbfchar");
    text += "endcmap\nCMapName currentdict/CMap defineresource pop\nend\nend\n";
    return text;
}

// Subsets face, writes its font file, descriptor and per-slot CMaps.
// Returns false when the subsetter fails (it did not on the trial subset).
bool Embed(RepPdfDocument &document, const RepPdfFace &face, EmbeddedFace &out)
{
    std::vector<quint32> glyphs;
    for (size_t code = 0; code < face.Glyphs.size(); ++code)
        if (face.Taken[code / SlotSize][code % SlotSize])
            glyphs.push_back(face.Glyphs[code]);
    const Hb<hb_face_t> source(FaceFromRawFont(face.Raw));
    const Hb<hb_subset_input_t> input = SubsetInput(glyphs);
    if (!input)
        return false;
    const Hb<hb_subset_plan_t> plan(hb_subset_plan_create_or_fail(source.get(), input.get()));
    if (!plan)
        return false;
    const hb_map_t *oldToNew = hb_subset_plan_old_to_new_glyph_mapping(plan.get());
    out.newGlyph.resize(face.Glyphs.size(), 0);
    for (size_t code = 0; code < face.Glyphs.size(); ++code) {
        const hb_codepoint_t g = hb_map_get(oldToNew, face.Glyphs[code]);
        out.newGlyph[code] = g == HB_MAP_VALUE_INVALID ? 0 : g;
    }
    const Hb<hb_face_t> subset(hb_subset_plan_execute_or_fail(plan.get()));
    if (!subset)
        return false;
    const Hb<hb_blob_t> blob(hb_face_reference_blob(subset.get()));
    const QByteArrayView file = BytesOf(blob.get());

    const QByteArray psName = PostScriptName(source.get());
    out.baseFont = SubsetTag(glyphs, psName)
                   + (psName.isEmpty() ? PdfNameOf(face.Raw.familyName().toLatin1()) : psName);
    const int fontFile = document.Reserve();
    if (face.Cff)
        document.WriteStream(fontFile, "/Subtype/OpenType", file);
    else
        document.WriteStream(fontFile, "/Length1 " + QByteArray::number(file.size()), file);

    // Metrics in thousandths of the em, as PDF wants them.
    const QByteArray head = face.Raw.fontTable("head");
    const double em = std::max<int>(U16(head, 18), 16);
    auto units = [em](double v) { return QByteArray::number(qRound(v * 1000 / em)); };
    const Hb<hb_font_t> font(hb_font_create(source.get()));
    hb_position_t ascender = 0, descender = 0, capHeight = 0;
    hb_ot_metrics_get_position(font.get(), HB_OT_METRICS_TAG_HORIZONTAL_ASCENDER, &ascender);
    hb_ot_metrics_get_position(font.get(), HB_OT_METRICS_TAG_HORIZONTAL_DESCENDER, &descender);
    if (!hb_ot_metrics_get_position(font.get(), HB_OT_METRICS_TAG_CAP_HEIGHT, &capHeight))
        capHeight = ascender;
    const float slant = hb_style_get_value(font.get(), HB_STYLE_TAG_SLANT_ANGLE);
    QByteArray descriptor = "<</Type/FontDescriptor/FontName/" + out.baseFont + "/Flags "
                            + QByteArray::number(slant != 0 ? 4 + 64 : 4) + "/FontBBox[" + units(I16(head, 36))
                            + ' ' + units(I16(head, 38)) + ' ' + units(I16(head, 40)) + ' '
                            + units(I16(head, 42)) + "]/ItalicAngle ";
    AppendPdfNumber(descriptor, -slant);
    descriptor += "/Ascent " + units(ascender) + "/Descent " + units(descender) + "/CapHeight "
                  + units(capHeight) + "/StemV 80" + (face.Cff ? "/FontFile3 " : "/FontFile2 ")
                  + QByteArray::number(fontFile) + " 0 R>>";
    out.descriptor = document.Reserve();
    document.Write(out.descriptor, descriptor);

    for (size_t slot = 0; slot < face.Taken.size(); ++slot) {
        std::vector<QByteArray> cids, chars;
        for (int byte = 0; byte < SlotSize; ++byte) {
            if (!face.Taken[slot][size_t(byte)])
                continue;
            const size_t code = slot * SlotSize + size_t(byte);
            char unicode[16];
            std::snprintf(unicode, sizeof unicode, "<%04X>", unsigned(face.Chars[code]));
            cids.push_back(Hex2(byte) + ' ' + QByteArray::number(out.newGlyph[code]));
            chars.push_back(Hex2(byte) + unicode);
        }
        const QByteArray name = "Zumoria-" + out.baseFont.left(6) + '-' + QByteArray::number(qulonglong(slot));
        out.cmaps.push_back(document.Reserve());
        document.WriteStream(out.cmaps.back(),
                             "/Type/CMap/CMapName/" + name
                                 + "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>",
                             EncodingCMap(name, cids));
        out.toUnicodes.push_back(document.Reserve());
        document.WriteStream(out.toUnicodes.back(), {}, ToUnicodeCMap(chars));
    }
    return true;
}

// The W array of one size in one slot: each glyph's advance in
// thousandths of the em, by glyph of the subset.
QByteArray Widths(const RepPdfFace &face, const EmbeddedFace &embedded, const std::vector<int> &advances,
                  double pixelSize, size_t slot)
{
    std::vector<std::pair<quint32, int>> widths;
    for (size_t code = slot * SlotSize; code < (slot + 1) * SlotSize; ++code) {
        if (!face.Taken[slot][code % SlotSize])
            continue;
        const size_t first = size_t(face.First[code]);
        if (first < advances.size() && advances[first] != UnknownAdvance)
            widths.emplace_back(embedded.newGlyph[code], advances[first]);
    }
    std::sort(widths.begin(), widths.end());
    widths.erase(std::unique(widths.begin(), widths.end(),
                             [](const auto &a, const auto &b) { return a.first == b.first; }),
                 widths.end());
    QByteArray w = "[";
    for (size_t i = 0; i < widths.size(); ++i) {
        if (i == 0 || widths[i].first != widths[i - 1].first + 1) {
            if (i > 0)
                w += "]";
            w += QByteArray::number(widths[i].first) + '[';
        } else {
            w += ' ';
        }
        AppendPdfNumber(w, widths[i].second * 1000.0 / pixelSize);
    }
    if (!widths.empty())
        w += ']';
    return w + ']';
}

} // namespace

QByteArray RepPdfFonts::Finish()
{
    QByteArray resources;
    for (const auto &face : FFaces) {
        EmbeddedFace embedded;
        const bool ok = Embed(FDocument, *face, embedded);
        for (const auto &sized : FSized) {
            if (&sized->FFace != face.get())
                continue;
            for (size_t slot = 0; slot < sized->FNames.size(); ++slot) {
                if (sized->FNames[slot].isEmpty())
                    continue;
                if (!ok)
                    throw std::runtime_error("a font could not be embedded in the PDF");
                const int cidFont = FDocument.Reserve();
                QByteArray dict = QByteArray("<</Type/Font/Subtype/")
                                  + (face->Cff ? "CIDFontType0" : "CIDFontType2") + "/BaseFont/"
                                  + embedded.baseFont
                                  + "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>"
                                    "/FontDescriptor "
                                  + QByteArray::number(embedded.descriptor) + " 0 R/W "
                                  + Widths(*face, embedded, sized->FAdvances, sized->FSize, slot);
                if (!face->Cff)
                    dict += "/CIDToGIDMap/Identity";
                FDocument.Write(cidFont, dict + ">>");
                const int type0 = FDocument.Reserve();
                FDocument.Write(type0, "<</Type/Font/Subtype/Type0/BaseFont/" + embedded.baseFont + "/Encoding "
                                           + QByteArray::number(embedded.cmaps[slot]) + " 0 R/DescendantFonts["
                                           + QByteArray::number(cidFont) + " 0 R]/ToUnicode "
                                           + QByteArray::number(embedded.toUnicodes[slot]) + " 0 R>>");
                resources += '/' + sized->FNames[slot] + ' ' + QByteArray::number(type0) + " 0 R";
            }
        }
    }
    return resources;
}
