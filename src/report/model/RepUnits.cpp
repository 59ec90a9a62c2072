#include "report/model/RepUnits.h"

#include "platform/ScreenDensity.h"

#include <QLocale>
#include <cmath>

TRepUnit DefaultRepUnit()
{
    return QLocale().measurementSystem() == QLocale::ImperialUSSystem ? TRepUnit::Inches
                                                                       : TRepUnit::MM;
}

TRepUnitBase::TRepUnitBase(int valueCount)
    : FValues(size_t(valueCount), 0.0),
      FUnits(DefaultRepUnit()),
      FStashedUnits(FUnits),
      FScreenResolution(ScreenPixelsPerInch())
{
}

void TRepUnitBase::SetScreenResolution(int dpi)
{
    if (dpi > 0)
        FScreenResolution = dpi;
}

void TRepUnitBase::SetZoom(int zoom)
{
    if (zoom == FZoom || zoom <= 0)
        return;
    FZoom = zoom;
    ResizeOwner();
}

double TRepUnitBase::NativeToUnit(TRepUnit unit, bool horizontal, double native) const
{
    switch (unit) {
    case TRepUnit::MM:
        return native / 10.0;
    case TRepUnit::Inches:
        return native / 254.0;
    case TRepUnit::Pixels:
        return native / (254.0 / FScreenResolution) * FZoom / 100.0;
    case TRepUnit::Characters: {
        const double s = std::fabs(CharacterPointSize());
        const double cell = horizontal ? 80.0 / s / 2.54 : 145.3 / s / 2.54;
        return native / cell / 10.0;
    }
    case TRepUnit::Native:
        break;
    }
    return native;
}

double TRepUnitBase::UnitToNative(TRepUnit unit, bool horizontal, double value) const
{
    switch (unit) {
    case TRepUnit::MM:
        return value * 10.0;
    case TRepUnit::Inches:
        return value * 254.0;
    case TRepUnit::Pixels:
        return value * (254.0 / FScreenResolution) / FZoom * 100.0;
    case TRepUnit::Characters: {
        const double s = std::fabs(CharacterPointSize());
        const double cell = horizontal ? 80.0 / s / 2.54 : 145.3 / s / 2.54;
        return value * cell * 10.0;
    }
    case TRepUnit::Native:
        break;
    }
    return value;
}

void TRepUnitBase::PushPixelUnits()
{
    if (FPushDepth++ == 0)
        FStashedUnits = FUnits;
    FUnits = TRepUnit::Pixels;
}

void TRepUnitBase::PopUnits()
{
    if (FPushDepth == 0)
        return;
    if (--FPushDepth == 0)
        FUnits = FStashedUnits;
}

void TRepUnitBase::SetValues(const std::vector<double> &values)
{
    for (size_t i = 0; i < FValues.size() && i < values.size(); ++i)
        FValues[i] = std::isfinite(values[i]) ? values[i] : 0.0;
    ResizeOwner();
}

double TRepUnitBase::Get(int index) const
{
    return NativeToUnit(FUnits, IsHorizontal(index), FValues[size_t(index)]);
}

bool TRepUnitBase::Store(int index, double value)
{
    const double native = UnitToNative(FUnits, IsHorizontal(index), value);
    if (!std::isfinite(native) || native == FValues[size_t(index)])
        return false;
    FValues[size_t(index)] = native;
    return true;
}
