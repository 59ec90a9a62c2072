#include "app/Program.h"

#include "app/Artwork.h"
#include "platform/Fonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>
#include <cstring>

namespace {

const char *const UsageText =
    "Usage: zumoria [--] [JOKE-FILE]\n"
    "       zumoria --export-pdf OUT FILE | --export-zrp OUT FILE\n"
    "       zumoria --random [JOKE-FILE]...\n"
    "       zumoria --find TEXT [-i] [--ignore-accents] [JOKE-FILE]...\n"
    "       zumoria --version | --help\n"
    "\n"
    "Shows the jokes of a joke collection: a joke file (.vicc), a fortune file\n"
    "or a folder of fortune files. Without one, the collection shown last is\n"
    "opened again.\n"
    "\n"
    "  --export-pdf OUT  write the joke list of FILE (a joke file, or a saved\n"
    "                    report file) to OUT as a PDF, without a window, and exit\n"
    "  --export-zrp OUT  the same as a report file the preview can load\n"
    "                    OUT '-' or /dev/stdout writes to standard output; an\n"
    "                    existing OUT must hold the same format (or be empty)\n"
    "  --random   print one joke picked at random from all the jokes of the\n"
    "             collections given (else the one shown last) and exit;\n"
    "             status 1 when there is none\n"
    "  --find TEXT  print every joke that holds TEXT (heading, lines, number)\n"
    "             and exit; status 0 when one did, 1 when none did\n"
    "  -i, --ignore-case  letters match whatever their case (with --find)\n"
    "  --ignore-accents   letters match without their accents: \"szorny\"\n"
    "             finds \"szörny\" (with --find)\n"
    "  --version  print the program's version and exit\n"
    "  --help     print this help and exit\n"
    "  --         end of options: the next argument is the joke file, even\n"
    "             when it starts with a dash\n";

// Options of the windowing toolkit that take a value, and those that don't.
bool IsToolkitOptionWithValue(const char *arg)
{
    static const char *const names[] = {"-platform", "-platformpluginpath", "-platformtheme", "-plugin",
                                        "-style", "-stylesheet", "-display", "-geometry", "-session",
                                        "-qwindowgeometry", "-qwindowicon", "-qwindowtitle", "-name",
                                        "-title"};
    for (const char *name : names)
        if (std::strcmp(arg, name) == 0)
            return true;
    return false;
}

bool IsToolkitFlag(const char *arg)
{
    static const char *const names[] = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};
    for (const char *name : names)
        if (std::strcmp(arg, name) == 0)
            return true;
    return false;
}

// What the program prints instead of running: on stdout (Print) or, as a
// mistake with a pointer to the help, on stderr (Fail).
CommandLine Answer(CommandLine::Action action, const std::string &text)
{
    CommandLine answer;
    answer.action = action;
    answer.output = action == CommandLine::Fail ? "zumoria: " + text + "\nTry 'zumoria --help'.\n" : text;
    return answer;
}

} // namespace

CommandLine ParseCommandLine(int argc, const char *const *argv)
{
    CommandLine result;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (!optionsEnded && arg[0] == '-' && arg[1] != '\0') {
            if (std::strcmp(arg, "--") == 0) {
                optionsEnded = true;
            } else if (std::strcmp(arg, "--version") == 0) {
                return Answer(CommandLine::Print, "Zumoria " ZUMORIA_VERSION_TEXT "\n");
            } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
                return Answer(CommandLine::Print, UsageText);
            } else if (std::strcmp(arg, "--export-pdf") == 0 || std::strcmp(arg, "--export-zrp") == 0) {
                if (i + 1 >= argc)
                    return Answer(CommandLine::Fail, std::string("option '") + arg + "' needs a target file");
                if (result.action == CommandLine::Random)
                    return Answer(CommandLine::Fail, "--random does not go with an export");
                if (result.action == CommandLine::Find)
                    return Answer(CommandLine::Fail, "--find does not go with an export");
                if (result.action == CommandLine::Export)
                    return Answer(CommandLine::Fail, std::string("one export per run: '") + arg + "' follows '--export-"
                                                         + result.exportFormat.toStdString() + "'");
                result.action = CommandLine::Export;
                result.exportFormat = QString::fromLatin1(arg + 9);
                result.exportTarget = QString::fromLocal8Bit(argv[++i]);
            } else if (std::strcmp(arg, "--random") == 0) {
                if (result.action == CommandLine::Export)
                    return Answer(CommandLine::Fail, "--random does not go with an export");
                if (result.action == CommandLine::Find)
                    return Answer(CommandLine::Fail, "--random does not go with --find");
                result.action = CommandLine::Random;
            } else if (std::strcmp(arg, "--find") == 0) {
                if (i + 1 >= argc || argv[i + 1][0] == '\0')
                    return Answer(CommandLine::Fail, "option '--find' needs a text to find");
                if (result.action == CommandLine::Find)
                    return Answer(CommandLine::Fail, "one search per run: '--find' is given twice");
                if (result.action != CommandLine::Run)
                    return Answer(CommandLine::Fail, "--find does not go with an export or --random");
                result.action = CommandLine::Find;
                result.findText = QString::fromLocal8Bit(argv[++i]);
            } else if (std::strcmp(arg, "-i") == 0 || std::strcmp(arg, "--ignore-case") == 0) {
                result.ignoreCase = true;
            } else if (std::strcmp(arg, "--ignore-accents") == 0) {
                result.ignoreAccents = true;
            } else if (IsToolkitOptionWithValue(arg)) {
                ++i;
            } else if (!IsToolkitFlag(arg)) {
                return Answer(CommandLine::Fail, std::string("unknown option '") + arg + "'");
            }
            continue;
        }
        result.jokeFiles.append(QString::fromLocal8Bit(arg));
    }
    result.jokeFile = result.jokeFiles.value(0);
    if (result.action == CommandLine::Export && result.jokeFile.isEmpty())
        return Answer(CommandLine::Fail, "an export needs a joke file or a report file");
    if ((result.ignoreCase || result.ignoreAccents) && result.action != CommandLine::Find)
        return Answer(CommandLine::Fail, "-i and --ignore-accents go with --find");
    return result;
}

QString AbsoluteJokePath(const QString &path)
{
    if (path.isEmpty())
        return path;
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

QTranslator *InstallQtTranslations(const QLocale &locale)
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

void StartApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Zumoria"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZUMORIA_VERSION_TEXT));
    InstallFontSubstitutions();
    InstallQtTranslations(QLocale::system());
    // The program keeps no state but its settings file. Qt's file dialogs
    // would write their history and view into QtProject.conf of the user's
    // configuration folder: Qt's own settings of this process go where no
    // file can ever be made (a path below a device, which is no folder).
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
    // Desktops tie the windows to the launcher entry
    // example.kovirad.zumoria.desktop through this name (on Wayland it is the
    // application id) and show its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.kovirad.zumoria"));
    QGuiApplication::setWindowIcon(ProgramIcon());
}
