// Asks Qt's MIME database (which reads the shared-mime-info data of
// XDG_DATA_HOME and XDG_DATA_DIRS) what it makes of joke files, fortune files
// and of the file types a launcher entry claims. Prints one line per fault and exits non-zero
// when there is any.
//
//   mime_probe FOLDER DESKTOP_FILE
//     FOLDER        a writable folder for the sample files
//     DESKTOP_FILE  an installed .desktop file; each type in its MimeType key
//                   must be known to the database
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QSettings>
#include <QStringList>
#include <cstdio>

namespace {

int faults = 0;

void Fault(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    ++faults;
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        Fault("cannot write " + path);
}

// Joke files by name and by name plus content: plain ones, one in code page
// 1250, one with an upper-case extension, an empty one.
void CheckJokeFiles(const QMimeDatabase &db, const QDir &dir)
{
    struct Sample {
        const char *name;
        QByteArray bytes;
    };
    const Sample samples[] = {
        {"Viccek.vicc", "##Fej\nEgy sor.\n<<\n"},
        {"cp1250.vicc", "##\xe1rv\xedzt\xfbr\xf5\n\xfct\xf6 f\xfam\xf3\n<<\n"},
        {"NAGY.VICC", "// megjegyz\xe9s\n<<\n"},
        {"empty.vicc", ""},
    };
    for (const Sample &s : samples) {
        const QString path = dir.filePath(QString::fromLatin1(s.name));
        WriteFile(path, s.bytes);
        const QMimeType byName = db.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
        const QMimeType byBoth = db.mimeTypeForFile(path);
        for (const QMimeType &t : {byName, byBoth}) {
            if (t.name() != "application/x-vicc")
                Fault(QString("%1 is %2, not application/x-vicc").arg(s.name, t.name()));
        }
    }
    const QMimeType vicc = db.mimeTypeForName("application/x-vicc");
    if (!vicc.isValid())
        return Fault("application/x-vicc is unknown");
    if (!vicc.inherits("text/plain"))
        Fault("application/x-vicc does not inherit text/plain");
    if (vicc.comment().isEmpty())
        Fault("application/x-vicc has no description");
    if (vicc.iconName() != "application-x-vicc")
        Fault("application/x-vicc has the icon " + vicc.iconName());
    if (db.mimeTypeForFile(dir.filePath("Viccek.txt"), QMimeDatabase::MatchExtension).name()
        == "application/x-vicc")
        Fault("a .txt file is taken for a joke file");
}

// Fortune files have no extension: their content tells them, and no file
// that some other rule claims is taken for one. (A file that starts with a
// "%" line is one too once the type is installed beside the system's types;
// from a data home of its own Qt lets the system's text/x-matlab rule win.)
void CheckFortuneFiles(const QMimeDatabase &db, const QDir &dir)
{
    struct Sample {
        const char *name;
        QByteArray bytes;
        const char *type;
    };
    const Sample samples[] = {
        {"fortunes", "A day for firm decisions!\n%\nA gift of a flower.\n%\n", "application/x-fortune"},
        {"notes", "A plain note.\n100% plain.\n", "text/plain"},
        {"witze.vicc", "##Fej\nEgy.\n%\n<<\n", "application/x-vicc"},
        {"paper.tex", "\\section{A}\n%\nText.\n", "text/x-tex"},
    };
    for (const Sample &s : samples) {
        const QString path = dir.filePath(QString::fromLatin1(s.name));
        WriteFile(path, s.bytes);
        const QString type = db.mimeTypeForFile(path).name();
        if (type != QLatin1String(s.type))
            Fault(QString("%1 is %2, not %3").arg(s.name, type, s.type));
    }
    const QMimeType fortune = db.mimeTypeForName("application/x-fortune");
    if (!fortune.inherits("text/plain"))
        Fault("application/x-fortune does not inherit text/plain");
    if (fortune.comment().isEmpty())
        Fault("application/x-fortune has no description");
}

void CheckDesktopTypes(const QMimeDatabase &db, const QString &desktopFile)
{
    if (!QFile::exists(desktopFile))
        return Fault("no launcher entry at " + desktopFile);
    QSettings entry(desktopFile, QSettings::IniFormat);
    const QString types = entry.value("Desktop Entry/MimeType").toStringList().join(';');
    const QStringList names = types.split(';', Qt::SkipEmptyParts);
    if (names.isEmpty())
        Fault("the launcher entry claims no file type");
    for (const QString &name : names) {
        if (!db.mimeTypeForName(name).isValid())
            Fault("the launcher entry claims the unknown type " + name);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: mime_probe FOLDER DESKTOP_FILE\n");
        return 2;
    }
    const QMimeDatabase db;
    CheckJokeFiles(db, QDir(QString::fromLocal8Bit(argv[1])));
    CheckFortuneFiles(db, QDir(QString::fromLocal8Bit(argv[1])));
    CheckDesktopTypes(db, QString::fromLocal8Bit(argv[2]));
    return faults == 0 ? 0 : 1;
}
