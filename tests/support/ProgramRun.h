#pragma once
// The program itself run by a test, without a display, its settings in a
// folder of the test's own and its locale as the test says.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

struct ProgramRun
{
    int status = -1;
    QByteArray output;
    QString errors;
};

inline ProgramRun RunZumoria(const QStringList &args, const QString &configHome, const QByteArray &lang = "C.UTF-8")
{
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    env.insert(QStringLiteral("LANG"), QString::fromLatin1(lang));
    env.remove(QStringLiteral("LC_ALL"));
    env.remove(QStringLiteral("LC_CTYPE"));
    env.remove(QStringLiteral("DISPLAY"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(ZUMORIA_BINARY_DIR "/zumoria"), args);
    if (!program.waitForFinished(120000))
        return {};
    return {program.exitCode(), program.readAllStandardOutput(), QString::fromLocal8Bit(program.readAllStandardError())};
}
