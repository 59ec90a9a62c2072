#include "platform/DataLocations.h"

#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
void Touch(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

// Sets an environment variable for the life of the object.
class EnvGuard
{
public:
    EnvGuard(const char *name, const QByteArray &value) : FName(name), FOld(qgetenv(name)), FHad(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~EnvGuard() { FHad ? qputenv(FName, FOld) : qunsetenv(FName); }

private:
    const char *FName;
    QByteArray FOld;
    bool FHad;
};
} // namespace

TEST(DataLocations, SettingsFileIsPortableOnlyWhenItAlreadyStandsBesideTheProgram)
{
    QTemporaryDir dir;
    const QString program = dir.path() + "/bin";
    const QString config = dir.path() + "/config";
    QDir().mkpath(program);
    EnvGuard xdg("XDG_CONFIG_HOME", config.toUtf8());

    // Installed layout: nothing beside the program.
    EXPECT_EQ(SettingsFilePath(program), config + "/Zumoria/Zumoria.ini");
    // A folder named like the file does not count.
    QDir().mkpath(program + "/Zumoria.ini");
    EXPECT_EQ(SettingsFilePath(program), config + "/Zumoria/Zumoria.ini");
    QDir(program + "/Zumoria.ini").removeRecursively();
    // Portable layout.
    Touch(program + "/Zumoria.ini");
    EXPECT_EQ(SettingsFilePath(program), program + "/Zumoria.ini");
}

TEST(DataLocations, ConfigHomeFallsBackToDotConfig)
{
    QTemporaryDir dir;
    EnvGuard home("HOME", dir.path().toUtf8());
    for (const QByteArray &value : {QByteArray(""), QByteArray("relative/path")}) {
        EnvGuard xdg("XDG_CONFIG_HOME", value);
        EXPECT_EQ(SettingsFilePath(dir.path() + "/nowhere"), dir.path() + "/.config/Zumoria/Zumoria.ini")
            << value.constData();
    }
}

TEST(DataLocations, SoundsBesideTheProgramElseInTheInstallation)
{
    QTemporaryDir dir;
    const QString program = dir.path() + "/usr/bin";
    QDir().mkpath(program);
    QDir().mkpath(dir.path() + "/usr/share/zumoria/Hangok");
    EXPECT_EQ(SoundFolderPath(program), dir.path() + "/usr/share/zumoria/Hangok");
    EXPECT_EQ(SoundFilePath(program, "onLoad"), dir.path() + "/usr/share/zumoria/Hangok/onLoad.wav");
    QDir().mkpath(program + "/Hangok");
    EXPECT_EQ(SoundFilePath(program, "onClose"), program + "/Hangok/onClose.wav");
}
