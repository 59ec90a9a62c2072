#pragma once
// Controllers decide which bands print and how often: the report's own
// controller prints the report-level bands, a strings controller repeats its
// band once per item. Sub-controllers run before or after their master's
// detail band.

#include <QStringList>
#include <vector>

class TRepControl;
class TRepCustomBand;
class TRepCustomReport;
class TRepPrintable;
class TRepStringsBand;
class TRepEvElement;

class TRepCustomController
{
public:
    explicit TRepCustomController(TRepControl *origin);
    virtual ~TRepCustomController();

    // The report or band whose controller this is.
    TRepControl *Origin() const { return FOrigin; }
    // The report, controller band or controller this one runs under.
    TRepControl *Master() const { return FMaster; }
    void SetMaster(TRepControl *master) { FMaster = master; }
    TRepCustomReport *ParentReport() const { return FParentReport; }
    void SetParentReport(TRepCustomReport *report) { FParentReport = report; }

    bool PrintBefore = false;
    bool PrintIfEmpty = true;
    // Detail bands emitted by this controller in the current run.
    int DetailNumber = 0;

    const std::vector<TRepCustomController *> &PrintBeforeList() const { return FBefore; }
    const std::vector<TRepCustomController *> &PrintAfterList() const { return FAfter; }

    // Rebuilds the sub-controller lists from the report's controller bands.
    void CollectSubControllers();
    // Appends the bands this controller prints, in print order (band list).
    virtual void RegisterBands(std::vector<TRepCustomBand *> &list) const = 0;

    virtual void PrepareRun();
    virtual void RunController() = 0;
    void RunBeforeList();
    void RunAfterList();
    virtual void FinishRun();

    // Printables told when the controller's detail advances.
    void AddNotifyClient(TRepPrintable *client);
    void NotifyClients(int operation);

protected:
    void RegisterSubBands(const std::vector<TRepCustomController *> &subs,
                          std::vector<TRepCustomBand *> &list) const;
    TRepEvElement *LocalElement() const { return FLocalElement; }

private:
    TRepControl *FOrigin;
    TRepControl *FMaster = nullptr;
    TRepCustomReport *FParentReport = nullptr;
    std::vector<TRepCustomController *> FBefore;
    std::vector<TRepCustomController *> FAfter;
    std::vector<TRepPrintable *> FClients;
    TRepEvElement *FLocalElement = nullptr;
};

// The report's own controller: title band as header, detail band as detail,
// summary band as footer; with an OnNeedData handler the detail repeats
// while the handler says there is more data.
class TRepController : public TRepCustomController
{
public:
    explicit TRepController(TRepCustomReport *report);

    TRepCustomBand *HeaderBand() const;
    TRepCustomBand *DetailBand() const;
    TRepCustomBand *FooterBand() const;

    void RegisterBands(std::vector<TRepCustomBand *> &list) const override;
    void RunController() override;

private:
    void RunEmpty();
    void RunNeedData();
    TRepCustomReport *FReport;
};

// Prints its strings band once per item, publishing the item through the
// band's Functions entry.
class TRepStringsController : public TRepCustomController
{
public:
    explicit TRepStringsController(TRepStringsBand *band);

    QStringList Items;
    // −1 outside the loop, else the index of the item being printed.
    int CurrentIndex() const { return FCurrentIndex; }

    void RegisterBands(std::vector<TRepCustomBand *> &list) const override;
    void RunController() override;

private:
    void UpdateLocalValue();
    TRepStringsBand *FBand;
    int FCurrentIndex = -1;
};
