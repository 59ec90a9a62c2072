#pragma once
// Paper and bin tables, the device-side settings holder TPrinterSettings
// (capabilities of the printer read from QPrinter / QPrinterInfo, requested
// paper, bin, copies, duplex and orientation written back) and the
// report-side settings record TRepPrinterSettings.
//
// Paper and bin codes are the classic device-mode numbers: QPageSize knows
// them as windowsId(), and QPrinter's paper sources map onto the bin codes.
// A printer whose output goes to a PDF file counts as a device that supports
// every paper size, custom sizes, copies and orientation, and no bins or
// duplex. Settings bound to no device (no printer installed) take every
// paper size, custom sizes and orientation, as nothing can refuse them, and
// keep one copy and their bin.

#include <QString>
#include <array>
#include <cstdint>

class QPrinter;

enum class TRepPaperSize : int {
    Default, Letter, LetterSmall, Tabloid, Ledger, Legal, Statement, Executive, A3, A4, A4Small, A5,
    B4, B5, Folio, Quarto, rp10X14, rp11X17, Note, Env9, Env10, Env11, Env12, Env14, CSheet, DSheet,
    ESheet, Custom
};
constexpr int RepPaperSizeCount = 28;

struct TRepPaperRow
{
    const char *Name;
    double Width;  // mm
    double Length; // mm
    int DeviceCode;
};
const TRepPaperRow &PaperRow(TRepPaperSize size);
// The paper whose device code is code; Default for a code not in the table.
TRepPaperSize PaperSizeOfDeviceCode(int code);
// The paper of the system's default printer; Default when there is no
// printer or its paper is not in the table.
TRepPaperSize CurrentPrinterPaperSize();

enum class TRepBin : int {
    First, Upper, Lower, Middle, Manual, Envelope, EnvManual, Auto, Tractor, SmallFormat, LargeFormat,
    LargeCapacity, Cassette, Last
};
int BinCode(TRepBin bin);

enum TPrinterOrientation : int { poPortrait = 0, poLandscape = 1 };

class TPrinterSettings
{
public:
    // Device-mode fields whose support IsSupported answers.
    enum FieldBit : int {
        FieldOrientation = 1, FieldPaperSize = 2, FieldPaperLength = 4, FieldPaperWidth = 8,
        FieldCopies = 256, FieldDefaultSource = 512, FieldDuplex = 4096
    };

    TPrinterSettings();

    // Binds the settings to device (or to none) and, with a device, reads
    // all its settings.
    void Bind(QPrinter *device);
    QPrinter *Device() const { return FDevice; }

    // Reads capabilities and current settings of the bound device.
    void ReadDeviceSettings();
    // Writes paper, duplex, copies, bin and orientation into the device.
    void ApplyToDevice();
    // True when a device is bound, bit is not negative and every bit of it
    // is a supported field.
    bool IsSupported(int bit) const;
    // Whether the device offers size (Default is always accepted; without a
    // device every size is).
    bool PaperSupported(TRepPaperSize size) const;

    QString DeviceName() const { return FDeviceName; }
    QString DriverName() const { return FDriverName; }
    QString PortName() const { return FPortName; }

    int Copies() const { return FCopies; }
    void SetCopies(int copies);
    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation orientation);
    TRepBin OutputBin() const { return FOutputBin; }
    void SetOutputBin(TRepBin bin);
    TRepPaperSize PaperSize() const { return FPaperSize; }
    void SetPaperSize(TRepPaperSize size);
    // 0.1 mm: the table's size, or the stored one for Custom and Default.
    int SheetWidth() const;
    int SheetLength() const;
    // Taken only while the size is Custom.
    void SetSheetWidth(int width);
    void SetSheetLength(int length);
    bool Duplex() const { return FDuplex; }
    void SetDuplex(bool duplex) { FDuplex = duplex; }
    int PixelsPerInchX() const { return FPixelsPerInchX; }
    int PixelsPerInchY() const { return FPixelsPerInchY; }
    int PhysicalLeft() const { return FPhysicalLeft; }
    int PhysicalTop() const { return FPhysicalTop; }

private:
    QPrinter *FDevice = nullptr;
    QString FDeviceName, FDriverName, FPortName;
    int FFields = 0;
    int FCopies = 1;
    TPrinterOrientation FOrientation = poPortrait;
    TRepBin FOutputBin = TRepBin::First;
    TRepPaperSize FPaperSize = TRepPaperSize::A4;
    int FSheetWidth = 0;
    int FSheetLength = 0;
    int FPixelsPerInchX = 0;
    int FPixelsPerInchY = 0;
    int FPhysicalLeft = 0;
    int FPhysicalTop = 0;
    bool FDuplex = false;
    std::array<bool, RepPaperSizeCount> FSupported{};
};

// The report's printer settings record; the report's published subclass
// exposes Copies, Duplex, FirstPage, LastPage and OutputBin.
class TRepPrinterSettings
{
public:
    virtual ~TRepPrinterSettings() = default;
    int Copies = 1;
    bool Duplex = false;
    TRepBin OutputBin = TRepBin::Auto;
    int PrinterIndex = -1; // -1: the default printer
    QString Title;
    int FirstPage = 0; // 0 and 0: all pages
    int LastPage = 0;
};
