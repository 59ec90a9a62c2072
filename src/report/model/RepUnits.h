#pragma once
// Units of report lengths and the common state of every size object.
//
// Every length of a report is held in Native units: tenths of a millimetre,
// as double. A size object presents its lengths in its chosen unit; while a
// report runs every size object is switched to Native.

#include <cstddef>
#include <vector>

enum class TRepUnit { MM = 0, Inches = 1, Pixels = 2, Characters = 3, Native = 4 };

// The unit a new size object starts in: Inches on the US measurement
// system of the user's locale, else MM.
TRepUnit DefaultRepUnit();

// Base of TRepPage, TRepBandSize and TRepPrintableSize. The stored values
// live here in Native units, in the order of the object's "Values" list;
// subclasses name them and say which are horizontal.
class TRepUnitBase
{
public:
    virtual ~TRepUnitBase() = default;

    TRepUnit Units() const { return FUnits; }
    void SetUnits(TRepUnit units) { FUnits = units; }
    TRepUnit StashedUnits() const { return FStashedUnits; }

    // Pixels per inch of the screen the program runs on, captured at
    // creation. The setter exists for hosts that move to another screen
    // and for tests.
    int ScreenResolution() const { return FScreenResolution; }
    void SetScreenResolution(int dpi);

    // Display zoom in percent (100 at creation). A change resizes the owner.
    int Zoom() const { return FZoom; }
    void SetZoom(int zoom);

    // True while the object itself moves or resizes its owner control.
    bool SyncingOwner() const { return FSyncingOwner; }
    void SetSyncingOwner(bool on) { FSyncingOwner = on; }

    // The conversions between Native and any unit; exact inverses.
    double NativeToUnit(TRepUnit unit, bool horizontal, double native) const;
    double UnitToNative(TRepUnit unit, bool horizontal, double value) const;

    // Remember the units and switch to Pixels / put them back. Nested pairs
    // are counted: only the outermost pair stashes and restores, so an inner
    // pair never loses the units of the outer one.
    void PushPixelUnits();
    void PopUnits();

    // Brings the owner control's pixel bounds in line with the stored values.
    virtual void ResizeOwner() {}

    // The "Values" list: every stored value in Native units, in order.
    // Setting it sets all values at once and then resizes the owner.
    const std::vector<double> &Values() const { return FValues; }
    void SetValues(const std::vector<double> &values);

    // A stored value (Native) by its position in "Values".
    double NativeValue(int index) const { return FValues[std::size_t(index)]; }

protected:
    explicit TRepUnitBase(int valueCount);

    // The point size of the report font, for the Characters unit.
    virtual double CharacterPointSize() const { return 10.0; }
    // Whether the value at a "Values" position is a horizontal length.
    virtual bool IsHorizontal(int index) const = 0;

    // A value in the current units, and the setter side of the same.
    double Get(int index) const;
    // Converts value from the current units and stores it. Returns true when
    // the stored value changed.
    bool Store(int index, double value);
    void StoreNative(int index, double native) { FValues[std::size_t(index)] = native; }

private:
    std::vector<double> FValues;
    TRepUnit FUnits;
    TRepUnit FStashedUnits;
    int FPushDepth = 0;
    int FScreenResolution;
    int FZoom = 100;
    bool FSyncingOwner = false;
};

// Sets SyncingOwner for the lifetime of the guard and puts the previous
// value back afterwards.
class TRepSyncGuard
{
public:
    explicit TRepSyncGuard(TRepUnitBase &size) : FSize(size), FWas(size.SyncingOwner())
    {
        FSize.SetSyncingOwner(true);
    }
    ~TRepSyncGuard() { FSize.SetSyncingOwner(FWas); }
    TRepSyncGuard(const TRepSyncGuard &) = delete;
    TRepSyncGuard &operator=(const TRepSyncGuard &) = delete;

private:
    TRepUnitBase &FSize;
    bool FWas;
};
