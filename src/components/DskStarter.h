#pragma once
// TDskStarter hands a document, folder, program or address to the desktop so
// that the program associated with it opens it: a web address in the default
// browser, a "mailto:" address in the default mail program.
//
// Documents, folders and addresses go to `xdg-open`; a `Command` that names
// an executable file is started itself with `Parameters`. Both are started
// with an argument list, never through a shell, and never waited for unless
// `Wait` is set. Failures are reported only through `OnError` and
// `LastError()` (the codes below); with no handler a failed start is silent.

#include "components/DskComponent.h"
#include "components/DskTimers.h"

#include <QDateTime>
#include <QPointer>
#include <QStringList>
#include <functional>

class QProcess;

enum class TDskStarterOperation { smOpen, smPrint, smExplore, smEdit, smProperties };

enum class TDskStarterOptions {
    soSW_HIDE, soSW_MAXIMIZE, soSW_MINIMIZE, soSW_RESTORE, soSW_SHOW,
    soSW_SHOWMAXIMIZED, soSW_SHOWMINIMIZED, soSW_SHOWMINNOACTIVE, soSW_SHOWNA, soSW_SHOWNORMAL,
};

// Start failure codes kept in LastError().
namespace DskStartError {
inline constexpr int FileNotFound = 2;
inline constexpr int AccessDenied = 5;
inline constexpr int NoAssociation = 31;
} // namespace DskStartError

// A moment to the second.
struct TDskDateTime
{
    int Year = 1990, Month = 1, Day = 1, Hour = 0, Minute = 0, Second = 0;
    bool Matches(const QDateTime &moment) const;
};

// What Execute starts: a program with its arguments in a folder, or a
// refusal code when the desktop offers nothing for the request.
struct TDskLaunch
{
    QString Program;
    QStringList Arguments;
    QString WorkingDir;
    bool ThroughOpener = false; // the program is xdg-open, whose exit status is mapped
    int RefusedWith = 0;
};

// Plans the start of `command` with `operation` (plain logic, no process).
TDskLaunch PlanLaunch(TDskStarterOperation operation, const QString &command,
                      const QString &parameters, const QString &defaultDir);
// Maps the exit status of xdg-open to a start failure code; 0 is success.
int OpenerExitError(int exitCode);
// The verb and the show-command number the properties stand for.
QString StarterVerb(TDskStarterOperation operation);
int StarterShowCommand(TDskStarterOptions option);

class TDskStarter : public TDskCustomComponent
{
public:
    using TNotifyEvent = std::function<void(TDskStarter &)>;

    // Reserves the disabled 1-second slot; raises "Not enough timers available".
    explicit TDskStarter(QObject *owner);
    ~TDskStarter() override;

    TDskStarterOperation StartOperation() const { return FStartOperation; }
    void SetStartOperation(TDskStarterOperation value) { FStartOperation = value; }
    TDskStarterOptions StartOption() const { return FStartOption; }
    void SetStartOption(TDskStarterOptions value) { FStartOption = value; }
    QString Command() const { return FCommand; }
    void SetCommand(const QString &value);
    QString Parameters() const { return FParameters; }
    void SetParameters(const QString &value);
    QString DefaultDir() const { return FDefaultDir; }
    void SetDefaultDir(const QString &value);
    bool AutoStart() const { return FAutoStart; }
    void SetAutoStart(bool value);
    TDskDateTime &StartTime() { return FStartTime; }
    bool Wait() const { return FWait; }
    void SetWait(bool value) { FWait = value; }

    TNotifyEvent OnBeforeStart, OnAfterStart, OnError, OnFinished;

    // Starts now; see the class comment.
    void Execute();

    // Code of the last start failure (0 at first).
    int LastError() const { return FLastError; }
    // True while the process of the last start is held (watched or not).
    bool ProcessHeld() const;
    // How many times the text properties were stored (a write of an equal text stores nothing).
    int TextWrites() const { return FTextWrites; }
    // The clock the automatic start compares with (the system clock unless replaced).
    void SetClock(std::function<QDateTime()> clock) { FClock = std::move(clock); }

private:
    void CloseProcessHandle();
    int Launch(const TDskLaunch &launch);
    void ProcessEnded();
    void WatchTick();
    void StopWatching();
    void AutoStartTick();
    void Raise(const TNotifyEvent &event);
    bool StoreText(QString &field, const QString &value);

    TDskStarterOperation FStartOperation = TDskStarterOperation::smOpen;
    TDskStarterOptions FStartOption = TDskStarterOptions::soSW_SHOW;
    QString FCommand, FParameters, FDefaultDir;
    bool FAutoStart = false;
    TDskDateTime FStartTime;
    bool FWait = false;

    QPointer<QProcess> FProcess;
    bool FProcessThroughOpener = false;
    int FLastError = 0;
    int FTextWrites = 0;
    TDskTimerService::TimerId FAutoTimer = TDskTimerService::NoTimer;
    TDskTimerService::TimerId FWatchTimer = TDskTimerService::NoTimer;
    std::function<QDateTime()> FClock;
};
