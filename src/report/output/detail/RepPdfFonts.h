#pragma once
// The fonts of a PDF document written from stored pages. Pages show text
// as one-byte codes: every face hands out codes as characters first appear,
// 256 to a slot, and each size of a face in a slot is a PDF font of its own
// whose widths are the advances the pages were laid out with. When the last
// page is written, each face is cut down to the glyphs it showed (HarfBuzz's
// subsetter) and embedded once, TrueType outlines as FontFile2 under a
// CIDFontType2, CFF outlines as an OpenType FontFile3 under a CIDFontType0;
// a CMap takes codes to the subset's glyphs and a ToUnicode map gives the
// characters back, so the text can be searched and copied.

#include <QByteArray>
#include <QFont>
#include <QHash>
#include <QRawFont>
#include <memory>
#include <vector>

class RepPdfDocument;
class RepPdfFace;
class RepPdfFonts;

// One size of one face, as pages draw with it.
class RepPdfSizedFont
{
public:
    RepPdfSizedFont(RepPdfFace &face, double pixelSize, RepPdfFonts &owner)
        : FFace(face), FSize(pixelSize), FOwner(owner)
    {
    }

    double PixelSize() const { return FSize; }
    // The code that shows character c as glyph (of the face's font):
    // slot * 256 + the byte written.
    int CodeOf(char16_t c, quint32 glyph);
    // The advance, in whole pixels, this size gives the glyph behind code:
    // the first advance it was drawn with (fixed then; later ones that
    // differ are moved to by the page).
    int AdvanceOf(int code, int drawnWith);
    // The resource name of the PDF font for slot ("F3"), made on first use.
    const QByteArray &ResourceName(int slot);

private:
    friend class RepPdfFonts;
    RepPdfFace &FFace;
    double FSize;
    RepPdfFonts &FOwner;
    std::vector<int> FAdvances;     // per code (the first code of its glyph)
    std::vector<QByteArray> FNames; // per slot; empty while unused
};

class RepPdfFonts
{
public:
    explicit RepPdfFonts(RepPdfDocument &document);
    ~RepPdfFonts();
    RepPdfFonts(const RepPdfFonts &) = delete;
    RepPdfFonts &operator=(const RepPdfFonts &) = delete;

    // font at the size raw has, or none when its face cannot be embedded
    // (no outlines this writer embeds, embedding not allowed, or the
    // subsetter refuses it); raw is the raw font of font.
    RepPdfSizedFont *Sized(const QFont &font, const QRawFont &raw);

    // Embeds every face used and writes every PDF font; returns the entries
    // of the /Font resource dictionary ("/F1 12 0 R/F2 …").
    QByteArray Finish();

private:
    RepPdfFace *FaceOf(const QRawFont &raw);

    RepPdfDocument &FDocument;
    std::vector<std::unique_ptr<RepPdfFace>> FFaces;
    std::vector<std::unique_ptr<RepPdfSizedFont>> FSized;
    QHash<QFont, RepPdfSizedFont *> FByFont; // none for fonts that cannot be embedded
    int FNextName = 1;
    friend class RepPdfSizedFont;
};
