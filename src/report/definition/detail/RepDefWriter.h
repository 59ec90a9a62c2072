#pragma once
// Writes a report as definition text: each object with the properties of
// its class (see RepDefClass.h), two spaces of indent a level, lists of
// texts one item a line.

#include <QByteArray>
#include <QString>
#include <QStringList>

class TRepControl;
class TRepCustomReport;
struct TRepDefClass;
struct TRepDefClasses;

class TRepDefWriter
{
public:
    explicit TRepDefWriter(const TRepDefClasses &classes) : FClasses(classes) {}
    QByteArray Write(TRepCustomReport &report);

private:
    void WriteObject(TRepControl &control, const TRepDefClass &cls);
    QString Indent(int extra = 0) const { return QString((FDepth + extra) * 2, QLatin1Char(' ')); }
    void Line(const QString &name, const QString &value);
    void List(const QString &name, const QStringList &texts);

    const TRepDefClasses &FClasses;
    QString FOut;
    int FDepth = 0;
};
