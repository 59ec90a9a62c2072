#pragma once
// The control side of reports, bands and printables: a name, pixel bounds
// inside the parent, enabled state, colour and font, and the loading state.
// Parents own their children (QObject ownership); the children's order is
// the control order in which a band prints its printables.

#include "report/model/RepTypes.h"

#include <QHash>
#include <QObject>
#include <QRect>
#include <vector>

class TRepCustomBand;

class TRepControl : public QObject
{
    Q_OBJECT
public:
    explicit TRepControl(TRepControl *parent = nullptr);
    ~TRepControl() override;

    TRepControl *ParentControl() const;
    std::vector<TRepControl *> ChildControls() const;
    // The control as a band (bands answer themselves), else nullptr.
    virtual TRepCustomBand *AsBand() { return nullptr; }

    QString Name() const { return objectName(); }
    void SetName(const QString &name);

    // Pixel bounds relative to the parent. A change calls BoundsChanged.
    // Positions are kept within ±MaxPixelExtent and sizes within
    // 0..MaxPixelExtent (a quarter of a billion pixels).
    static constexpr int MaxPixelExtent = 1 << 28;
    QRect Bounds() const { return FBounds; }
    int Left() const { return FBounds.x(); }
    int Top() const { return FBounds.y(); }
    int Width() const { return FBounds.width(); }
    int Height() const { return FBounds.height(); }
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool on) { FEnabled = on; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool on) { FVisible = on; }

    TRepColor Color() const { return FColor; }
    void SetColor(TRepColor c) { FColor = c; }

    // The font in effect: the parent's while ParentFont is set.
    TRepFont Font() const;
    // Sets the control's own font and clears ParentFont.
    void SetFont(const TRepFont &font);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool on);

    // Names of the handlers bound to this control's events by a stored
    // definition (event name → handler name), kept for saving it again.
    QHash<QString, QString> HandlerNames;

    // Loading from a stored definition: while loading, pixel bounds are not
    // converted into size objects. EndLoading clears the flag on the whole
    // tree and then runs Loaded, children before their parent.
    bool IsLoading() const { return FLoading; }
    void BeginLoading();
    void EndLoading();

protected:
    virtual void BoundsChanged(const QRect &old) {}
    virtual void FontChanged() {}
    virtual void NameChanged(const QString &oldName) {}
    virtual void Loaded() {}

private:
    void ClearLoading();
    void RunLoaded();
    void NotifyFontChanged();

    QRect FBounds;
    TRepFont FFont;
    TRepColor FColor = clRepWhite;
    bool FEnabled = true;
    bool FVisible = true;
    bool FParentFont = true;
    bool FLoading = false;
};
