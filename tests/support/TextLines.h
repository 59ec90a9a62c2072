#pragma once
// Lines of text written as UTF-8 literals, for the tables of the reader tests.
#include <QStringList>
#include <initializer_list>

inline QStringList L(std::initializer_list<const char *> lines)
{
    QStringList list;
    for (const char *line : lines)
        list.append(QString::fromUtf8(line));
    return list;
}
