#pragma once
// Controllers decide which bands print and how often: the report's own
// controller (TRepController, RepReport.h) prints the report-level bands, a
// strings controller repeats its band once per item. Sub-controllers run
// before or after their master's detail band. Controller bands own a
// controller each.

#include "report/model/RepBands.h"

#include <QStringList>
#include <memory>
#include <vector>

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
    TRepReportSite *ParentReport() const { return FParentReport; }
    void SetParentReport(TRepReportSite *report) { FParentReport = report; }

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
    TRepReportSite *FParentReport = nullptr;
    std::vector<TRepCustomController *> FBefore;
    std::vector<TRepCustomController *> FAfter;
    std::vector<TRepPrintable *> FClients;
    TRepEvElement *FLocalElement = nullptr;
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

// A band that owns a controller.
class TRepControllerBand : public TRepCustomBand
{
    Q_OBJECT
public:
    ~TRepControllerBand() override;

    TRepCustomController &Controller() { return *FController; }
    // The report, controller band or controller this band runs under. An
    // assignment that would make a cycle of controller bands is ignored.
    TRepControl *Master() const;
    void SetMaster(TRepControl *master);
    bool PrintBefore() const;
    void SetPrintBefore(bool on);

protected:
    TRepControllerBand(TRepReportSite *report, TRepBandType type,
                       std::unique_ptr<TRepCustomController> controller);
    void NameChanged(const QString &oldName) override;

private:
    std::unique_ptr<TRepCustomController> FController;
};

// A band printed once per line of its Items. Its name is an entry of the
// report's Functions whose value is the line being printed.
class TRepStringsBand : public TRepControllerBand
{
    Q_OBJECT
public:
    explicit TRepStringsBand(TRepReportSite *report);

    QStringList Items() const;
    void SetItems(const QStringList &items);
    TRepStringsController &StringsController();
};
