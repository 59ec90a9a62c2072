#include "report/model/RepControl.h"

#include <algorithm>

TRepControl::TRepControl(TRepControl *parent) : QObject(parent) {}

TRepControl::~TRepControl() = default;

TRepControl *TRepControl::ParentControl() const
{
    return qobject_cast<TRepControl *>(parent());
}

std::vector<TRepControl *> TRepControl::ChildControls() const
{
    std::vector<TRepControl *> result;
    for (QObject *child : children())
        if (auto *c = qobject_cast<TRepControl *>(child))
            result.push_back(c);
    return result;
}

void TRepControl::SetName(const QString &name)
{
    const QString old = objectName();
    if (old == name)
        return;
    setObjectName(name);
    NameChanged(old);
}

void TRepControl::SetBounds(int left, int top, int width, int height)
{
    // Pixel bounds are kept far from the ends of int, so edges and sums of
    // them never overflow whatever sizes a definition asks for.
    const QRect next(std::clamp(left, -MaxPixelExtent, MaxPixelExtent),
                     std::clamp(top, -MaxPixelExtent, MaxPixelExtent), std::clamp(width, 0, MaxPixelExtent),
                     std::clamp(height, 0, MaxPixelExtent));
    if (next == FBounds)
        return;
    const QRect old = FBounds;
    FBounds = next;
    BoundsChanged(old);
}

TRepFont TRepControl::Font() const
{
    if (FParentFont)
        if (TRepControl *p = ParentControl())
            return p->Font();
    return FFont;
}

void TRepControl::SetFont(const TRepFont &font)
{
    if (!FParentFont && FFont == font)
        return;
    FFont = font;
    FParentFont = false;
    NotifyFontChanged();
}

void TRepControl::SetParentFont(bool on)
{
    if (FParentFont == on)
        return;
    if (!on)
        FFont = Font();
    FParentFont = on;
    NotifyFontChanged();
}

void TRepControl::NotifyFontChanged()
{
    FontChanged();
    for (TRepControl *c : ChildControls())
        if (c->FParentFont)
            c->NotifyFontChanged();
}

void TRepControl::BeginLoading()
{
    FLoading = true;
    for (TRepControl *c : ChildControls())
        c->BeginLoading();
}

void TRepControl::EndLoading()
{
    ClearLoading();
    RunLoaded();
}

void TRepControl::ClearLoading()
{
    FLoading = false;
    for (TRepControl *c : ChildControls())
        c->ClearLoading();
}

void TRepControl::RunLoaded()
{
    for (TRepControl *c : ChildControls())
        c->RunLoaded();
    Loaded();
}
