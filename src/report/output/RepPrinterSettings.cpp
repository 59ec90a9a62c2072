#include "report/output/RepPrinterSettings.h"

#include "platform/Rounding.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

const TRepPaperRow PaperTable[RepPaperSizeCount] = {
    {"Default", 0, 0, 0},           {"Letter", 215.9, 279.4, 1},    {"LetterSmall", 215.9, 279.4, 2},
    {"Tabloid", 279.4, 431.8, 3},   {"Ledger", 431.8, 279.4, 4},    {"Legal", 215.9, 355.6, 5},
    {"Statement", 139.7, 215.9, 6}, {"Executive", 190.5, 254.0, 7}, {"A3", 297, 420, 8},
    {"A4", 210, 297, 9},            {"A4Small", 210, 297, 10},      {"A5", 148, 210, 11},
    {"B4", 250, 354, 12},           {"B5", 182, 257, 13},           {"Folio", 215.9, 330.2, 14},
    {"Quarto", 215, 275, 15},       {"rp10X14", 254.0, 355.6, 16},  {"rp11X17", 279.4, 431.8, 17},
    {"Note", 215.9, 279.0, 18},     {"Env9", 98.43, 225.4, 19},     {"Env10", 104.8, 241.3, 20},
    {"Env11", 114.3, 263.5, 21},    {"Env12", 101.6, 279.4, 22},    {"Env14", 127.0, 292.1, 23},
    {"CSheet", 100, 100, 24},       {"DSheet", 100, 100, 25},       {"ESheet", 100, 100, 26},
    {"Custom", 0, 0, 256},
};

constexpr int BinCodes[] = {1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 14};

// Classic bin code of a Qt paper source and back.
int SourceCode(QPrinter::PaperSource source)
{
    switch (source) {
    case QPrinter::Cassette: return 14;
    case QPrinter::FormSource: return 15;
    default: return int(source) + 1;
    }
}

QPrinter::PaperSource SourceOfCode(int code)
{
    if (code == 14)
        return QPrinter::Cassette;
    if (code == 15)
        return QPrinter::FormSource;
    if (code >= 1 && code <= 11)
        return QPrinter::PaperSource(code - 1);
    return QPrinter::Auto;
}

bool IsFileDevice(const QPrinter &device)
{
    return device.outputFormat() == QPrinter::PdfFormat;
}

} // namespace

const TRepPaperRow &PaperRow(TRepPaperSize size)
{
    const int i = int(size);
    return PaperTable[(i >= 0 && i < RepPaperSizeCount) ? i : 0];
}

TRepPaperSize PaperSizeOfDeviceCode(int code)
{
    for (int i = 0; i < RepPaperSizeCount; ++i)
        if (PaperTable[i].DeviceCode == code)
            return TRepPaperSize(i);
    return TRepPaperSize::Default;
}

TRepPaperSize CurrentPrinterPaperSize()
{
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull())
        return TRepPaperSize::Default;
    return PaperSizeOfDeviceCode(printer.defaultPageSize().windowsId());
}

int BinCode(TRepBin bin)
{
    const int i = int(bin);
    return (i >= 0 && i < int(std::size(BinCodes))) ? BinCodes[i] : 7;
}

TPrinterSettings::TPrinterSettings() = default;

void TPrinterSettings::Bind(QPrinter *device)
{
    FDevice = device;
    if (FDevice)
        ReadDeviceSettings();
}

bool TPrinterSettings::IsSupported(int bit) const
{
    return FDevice && bit >= 0 && (FFields & bit) == bit;
}

bool TPrinterSettings::PaperSupported(TRepPaperSize size) const
{
    const int i = int(size);
    if (i < 0 || i >= RepPaperSizeCount)
        return false;
    // Without a device nothing refuses a paper: pages take the report's own.
    return !FDevice || size == TRepPaperSize::Default || (i > 0 && FSupported[size_t(i)]);
}

void TPrinterSettings::ReadDeviceSettings()
{
    if (!FDevice)
        return;
    QCoreApplication::processEvents();
    QPrinter &d = *FDevice;
    const bool file = IsFileDevice(d);
    const QPrinterInfo info(d);

    FDeviceName = file ? d.outputFileName() : d.printerName();
    FDriverName = (file ? QStringLiteral("PDF") : info.makeAndModel()).left(63);
    FPortName = file ? d.outputFileName() : QString();

    QList<QPageSize> sizes = file ? QList<QPageSize>() : info.supportedPageSizes();
    FFields = FieldOrientation;
    if (file || !sizes.isEmpty())
        FFields |= FieldPaperSize;
    if (file || info.supportsCustomPageSizes())
        FFields |= FieldPaperLength | FieldPaperWidth;
    if (file || d.supportsMultipleCopies())
        FFields |= FieldCopies;
    // CUPS does not tell its input trays through Qt: the bin field stays
    // unsupported, so the bin the device chose is kept.
    if (!file && info.supportedDuplexModes().size() > 1)
        FFields |= FieldDuplex;

    FPixelsPerInchX = d.logicalDpiX();
    FPixelsPerInchY = d.logicalDpiY();
    FCopies = IsSupported(FieldCopies) ? d.copyCount() : 1;

    FOutputBin = TRepBin::First;
    const int source = SourceCode(d.paperSource());
    for (int i = 0; i < int(std::size(BinCodes)); ++i)
        if (BinCodes[i] == source) {
            FOutputBin = TRepBin(i);
            break;
        }
    FDuplex = IsSupported(FieldDuplex) && d.duplex() != QPrinter::DuplexNone;

    const QPageLayout layout = d.pageLayout();
    const int res = d.resolution();
    const QRect full = layout.fullRectPixels(res);
    const QRect paint = layout.paintRectPixels(res);
    FPhysicalLeft = Nearest(double(paint.left() - full.left()) / FPixelsPerInchX * 254);
    FPhysicalTop = Nearest(double(paint.top() - full.top()) / FPixelsPerInchY * 254);
    FOrientation = layout.orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;

    FPaperSize = IsSupported(FieldPaperSize) ? PaperSizeOfDeviceCode(layout.pageSize().windowsId())
                                             : TRepPaperSize::Default;
    FSheetWidth = Nearest(double(full.width()) / FPixelsPerInchX * 254);
    FSheetLength = Nearest(double(full.height()) / FPixelsPerInchY * 254);

    FSupported.fill(false);
    for (int i = 1; i < RepPaperSizeCount - 1; ++i) {
        if (file) {
            FSupported[size_t(i)] = true;
            continue;
        }
        for (const QPageSize &size : sizes)
            if (size.windowsId() == PaperTable[i].DeviceCode) {
                FSupported[size_t(i)] = true;
                break;
            }
    }
    FSupported[size_t(TRepPaperSize::Custom)] = true;
}

void TPrinterSettings::ApplyToDevice()
{
    if (!FDevice)
        return;
    QPrinter &d = *FDevice;
    if (FPaperSize == TRepPaperSize::Custom) {
        if (IsSupported(FieldPaperLength | FieldPaperWidth) && FSheetWidth > 0 && FSheetLength > 0)
            d.setPageSize(QPageSize(QSizeF(FSheetWidth / 10.0, FSheetLength / 10.0), QPageSize::Millimeter));
    } else if (IsSupported(FieldPaperSize) && FPaperSize != TRepPaperSize::Default) {
        const int code = PaperRow(FPaperSize).DeviceCode;
        const QPageSize::PageSizeId id = QPageSize::id(code);
        const TRepPaperRow &row = PaperRow(FPaperSize);
        d.setPageSize(id != QPageSize::Custom
                          ? QPageSize(id)
                          : QPageSize(QSizeF(row.Width, row.Length), QPageSize::Millimeter, QString::fromLatin1(row.Name)));
    }
    if (FDuplex)
        d.setDuplex(QPrinter::DuplexShortSide);
    d.setCopyCount(std::max(FCopies, 1));
    if (IsSupported(FieldDefaultSource))
        d.setPaperSource(SourceOfCode(BinCode(FOutputBin)));
    d.setPageOrientation(FOrientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void TPrinterSettings::SetCopies(int copies)
{
    if (IsSupported(FieldCopies))
        FCopies = copies;
}

void TPrinterSettings::SetOrientation(TPrinterOrientation orientation)
{
    if (!FDevice || IsSupported(FieldOrientation))
        FOrientation = orientation;
}

void TPrinterSettings::SetOutputBin(TRepBin bin)
{
    if (IsSupported(FieldDefaultSource))
        FOutputBin = bin;
}

void TPrinterSettings::SetPaperSize(TRepPaperSize size)
{
    if (PaperSupported(size))
        FPaperSize = size;
}

int TPrinterSettings::SheetWidth() const
{
    if (FPaperSize == TRepPaperSize::Custom || FPaperSize == TRepPaperSize::Default)
        return FSheetWidth;
    return Nearest(PaperRow(FPaperSize).Width * 10);
}

int TPrinterSettings::SheetLength() const
{
    if (FPaperSize == TRepPaperSize::Custom || FPaperSize == TRepPaperSize::Default)
        return FSheetLength;
    return Nearest(PaperRow(FPaperSize).Length * 10);
}

void TPrinterSettings::SetSheetWidth(int width)
{
    if (FPaperSize == TRepPaperSize::Custom)
        FSheetWidth = width;
}

void TPrinterSettings::SetSheetLength(int length)
{
    if (FPaperSize == TRepPaperSize::Custom)
        FSheetLength = length;
}
