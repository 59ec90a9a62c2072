#include "app/Settings.h"

#include "app/ColorScheme.h"

namespace {
const QString Defaults = QStringLiteral("Defaults");
const QString Screen = QStringLiteral("Screen");
const QString File = QStringLiteral("File");

QString FileKey(int k)
{
    return QStringLiteral("File") + QString::number(k);
}

constexpr int FirstScheme = 1;
} // namespace

SettingsFile::SettingsFile(QString path) : FIni(std::move(path)) {}

SettingsValues SettingsFile::LoadSettings(const QString &programFolder, int windowWidth,
                                          int windowHeight) const
{
    SettingsValues v;
    v.Path = FIni.ReadString(Defaults, QStringLiteral("Path"), programFolder + "/Viccek");
    v.Sound = FIni.ReadBool(Defaults, QStringLiteral("Sound"), true);
    v.Color = FIni.ReadInteger(Screen, QStringLiteral("Color"), 1);
    // A hand-edited scheme number with no colours of its own falls back to
    // the first scheme.
    if (v.Color < FirstScheme || v.Color > SchemeCount)
        v.Color = FirstScheme;
    v.Left = FIni.ReadInteger(Screen, QStringLiteral("Left"), 10);
    v.Top = FIni.ReadInteger(Screen, QStringLiteral("Top"), 10);
    v.Width = FIni.ReadInteger(Screen, QStringLiteral("Width"), windowWidth);
    v.Height = FIni.ReadInteger(Screen, QStringLiteral("Height"), windowHeight);
    return v;
}

void SettingsFile::SaveSettings(const SettingsValues &v)
{
    FIni.WriteString(Defaults, QStringLiteral("Path"), v.Path);
    FIni.WriteBool(Defaults, QStringLiteral("Sound"), v.Sound);
    FIni.WriteInteger(Screen, QStringLiteral("Color"), v.Color);
    FIni.WriteInteger(Screen, QStringLiteral("Left"), v.Left);
    FIni.WriteInteger(Screen, QStringLiteral("Top"), v.Top);
    FIni.WriteInteger(Screen, QStringLiteral("Width"), v.Width);
    FIni.WriteInteger(Screen, QStringLiteral("Height"), v.Height);
}

void SettingsFile::LoadRecentFiles(QStringList &list) const
{
    list.clear();
    for (int k = 0; k < MaxRecentFiles; ++k) {
        const QString path = FIni.ReadString(File, FileKey(k), QString());
        if (!path.isEmpty())
            list.append(path);
    }
}

void SettingsFile::SaveRecentFiles(const QStringList &list)
{
    for (int k = 0; k < MaxRecentFiles; ++k) {
        if (k < list.size())
            FIni.WriteString(File, FileKey(k), list[k]);
        else
            FIni.DeleteKey(File, FileKey(k));
    }
}
