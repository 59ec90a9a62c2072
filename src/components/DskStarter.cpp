#include "components/DskStarter.h"

#include "platform/AppError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

namespace {

const QString Opener = QStringLiteral("xdg-open");

QString FolderPart(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : path.left(slash + 1);
}

bool IsProgram(const QString &command)
{
    const QFileInfo info(command);
    return !command.isEmpty() && info.isFile() && info.isExecutable();
}

// A process we stop watching finishes on its own; killing it could take the
// program it waits for down with it.
void Disown(QProcess *process)
{
    process->disconnect();
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    process->setParent(QCoreApplication::instance());
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
}

} // namespace

bool TDskDateTime::Matches(const QDateTime &moment) const
{
    const QDate d = moment.date();
    const QTime t = moment.time();
    return d.year() == Year && d.month() == Month && d.day() == Day && t.hour() == Hour
           && t.minute() == Minute && t.second() == Second;
}

QString StarterVerb(TDskStarterOperation operation)
{
    switch (operation) {
    case TDskStarterOperation::smOpen: return QStringLiteral("open");
    case TDskStarterOperation::smPrint: return QStringLiteral("print");
    case TDskStarterOperation::smExplore: return QStringLiteral("explore");
    case TDskStarterOperation::smEdit: return QStringLiteral("edit");
    case TDskStarterOperation::smProperties: return QStringLiteral("properties");
    }
    return {};
}

int StarterShowCommand(TDskStarterOptions option)
{
    switch (option) {
    case TDskStarterOptions::soSW_HIDE: return 0;
    case TDskStarterOptions::soSW_SHOWNORMAL: return 1;
    case TDskStarterOptions::soSW_SHOWMINIMIZED: return 2;
    case TDskStarterOptions::soSW_MAXIMIZE:
    case TDskStarterOptions::soSW_SHOWMAXIMIZED: return 3;
    case TDskStarterOptions::soSW_SHOWNA: return 8;
    case TDskStarterOptions::soSW_SHOW: return 5;
    case TDskStarterOptions::soSW_MINIMIZE: return 6;
    case TDskStarterOptions::soSW_SHOWMINNOACTIVE: return 7;
    case TDskStarterOptions::soSW_RESTORE: return 9;
    }
    return 5;
}

TDskLaunch PlanLaunch(TDskStarterOperation operation, const QString &command,
                      const QString &parameters, const QString &defaultDir)
{
    TDskLaunch launch;
    switch (operation) {
    case TDskStarterOperation::smPrint:
    case TDskStarterOperation::smProperties:
        // The desktop has no generic print or properties action for a file.
        launch.RefusedWith = DskStartError::NoAssociation;
        return launch;
    case TDskStarterOperation::smExplore: {
        QString folder = FolderPart(command);
        if (folder.isEmpty())
            folder = QStringLiteral("/");
        launch.Program = Opener;
        launch.Arguments = {folder};
        launch.ThroughOpener = true;
        return launch;
    }
    case TDskStarterOperation::smOpen:
    case TDskStarterOperation::smEdit:
        break;
    }
    launch.WorkingDir = defaultDir;
    if (IsProgram(command)) {
        launch.Program = command;
        launch.Arguments = QProcess::splitCommand(parameters);
    } else {
        launch.Program = Opener;
        launch.Arguments = {command};
        launch.ThroughOpener = true;
    }
    return launch;
}

int OpenerExitError(int exitCode)
{
    switch (exitCode) {
    case 1: // the request was malformed (an empty address)
    case 2: // the file does not exist
        return DskStartError::FileNotFound;
    case 3: // no tool to open it with
    case 4: // the desktop's opener failed: nothing handles this kind of address
        return DskStartError::NoAssociation;
    default:
        return 0;
    }
}

TDskStarter::TDskStarter(QObject *owner)
    : TDskCustomComponent(owner)
{
    FAutoTimer = TDskTimerService::Instance().Reserve(1000, [this] { AutoStartTick(); });
}

TDskStarter::~TDskStarter()
{
    auto &service = TDskTimerService::Instance();
    service.Release(FAutoTimer);
    service.Release(FWatchTimer);
    // A process still held is left running.
    if (FProcess)
        Disown(FProcess);
}

bool TDskStarter::StoreText(QString &field, const QString &value)
{
    if (field == value)
        return false;
    field = value;
    ++FTextWrites;
    return true;
}

void TDskStarter::SetCommand(const QString &value)
{
    StoreText(FCommand, value);
}

void TDskStarter::SetParameters(const QString &value)
{
    StoreText(FParameters, value);
}

void TDskStarter::SetDefaultDir(const QString &value)
{
    StoreText(FDefaultDir, value);
}

void TDskStarter::SetAutoStart(bool value)
{
    if (value == FAutoStart)
        return;
    FAutoStart = value;
    auto &service = TDskTimerService::Instance();
    service.SetInterval(FAutoTimer, 1000);
    service.SetEnabled(FAutoTimer, FAutoStart);
}

bool TDskStarter::ProcessHeld() const
{
    return !FProcess.isNull();
}

void TDskStarter::Raise(const TNotifyEvent &event)
{
    if (event)
        event(*this);
}

void TDskStarter::CloseProcessHandle()
{
    StopWatching();
    if (FProcess)
        Disown(FProcess);
    FProcess = nullptr;
}

void TDskStarter::Execute()
{
    CloseProcessHandle();
    Raise(OnBeforeStart);
    const TDskLaunch launch = PlanLaunch(FStartOperation, FCommand, FParameters, FDefaultDir);
    const int result = launch.RefusedWith ? launch.RefusedWith : Launch(launch);
    if (result != 0) {
        FLastError = result;
        Raise(OnError);
    } else {
        if (OnFinished) {
            auto &service = TDskTimerService::Instance();
            FWatchTimer = service.Reserve(500, [this] { WatchTick(); });
            service.Enable(FWatchTimer);
        }
        if (FWait && FProcess)
            FProcess->waitForFinished(-1);
    }
    Raise(OnAfterStart);
}

int TDskStarter::Launch(const TDskLaunch &launch)
{
    auto *process = new QProcess(this);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    if (!launch.WorkingDir.isEmpty() && QFileInfo(launch.WorkingDir).isDir())
        process->setWorkingDirectory(launch.WorkingDir);
    process->start(launch.Program, launch.Arguments, QIODevice::NotOpen);
    if (!process->waitForStarted()) {
        delete process;
        if (launch.ThroughOpener)
            return DskStartError::NoAssociation; // no opener on this system
        return QFileInfo::exists(launch.Program) ? DskStartError::AccessDenied
                                                 : DskStartError::FileNotFound;
    }
    FProcess = process;
    FProcessThroughOpener = launch.ThroughOpener;
    connect(process, &QProcess::finished, this, Guarded([this](int, QProcess::ExitStatus) { ProcessEnded(); }));
    return 0;
}

void TDskStarter::ProcessEnded()
{
    if (!FProcess || !FProcessThroughOpener || FProcess->exitStatus() != QProcess::NormalExit)
        return;
    // The opener only now tells whether anything could open the command.
    const int error = OpenerExitError(FProcess->exitCode());
    if (error == 0)
        return;
    FLastError = error;
    StopWatching();
    Raise(OnError);
}

void TDskStarter::WatchTick()
{
    if (FProcess && FProcess->state() != QProcess::NotRunning)
        return;
    CloseProcessHandle();
    Raise(OnFinished);
}

void TDskStarter::StopWatching()
{
    TDskTimerService::Instance().Release(FWatchTimer);
    FWatchTimer = TDskTimerService::NoTimer;
}

void TDskStarter::AutoStartTick()
{
    if (!FAutoStart)
        return;
    const QDateTime now = FClock ? FClock() : QDateTime::currentDateTime();
    if (FStartTime.Matches(now))
        Execute();
}
