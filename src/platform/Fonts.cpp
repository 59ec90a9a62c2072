#include "platform/Fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

void InstallFontSubstitutions()
{
    QFont::insertSubstitutions(QStringLiteral("Garamond"),
                               QStringList{QStringLiteral("EB Garamond 12"), QStringLiteral("EB Garamond")});
    // Liberation Sans sets Tahoma's texts in about the width they were
    // designed for; DejaVu Sans is a tenth wider.
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    const QString ui = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               QStringList{ui, QStringLiteral("DejaVu Sans")});
}
