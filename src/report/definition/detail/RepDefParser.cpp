#include "report/definition/detail/RepDefParser.h"

#include "platform/AppError.h"

namespace {

bool IsIdentStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool IsIdentPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool IsNumberStart(QChar c)
{
    return c.isDigit() || c == QLatin1Char('-') || c == QLatin1Char('+') || c == QLatin1Char('.') ||
           c == QLatin1Char('$');
}

} // namespace

void RepDefFail(const QString &source, int line, const QString &what)
{
    throw AppError(QStringLiteral("Error in %1, line %2: %3").arg(source).arg(line).arg(what));
}

TRepDefParser::TRepDefParser(const QByteArray &text, const QString &source)
    : FText(QString::fromUtf8(text)), FSource(source)
{
}

TRepDefObject TRepDefParser::ParseFile()
{
    SkipSpace();
    const QLatin1String magic(RepDefMagic);
    const bool tagged = QStringView(FText).mid(FPos).startsWith(magic);
    FPos += tagged ? magic.size() : 0;
    if (!tagged)
        Fail(QStringLiteral("the text does not start with \"%1 %2\"").arg(magic).arg(RepDefFormatVersion));
    SkipSpace();
    const TRepDefValue version = ReadNumber();
    if (version.Text != QString::number(RepDefFormatVersion))
        Fail(QStringLiteral("unsupported format version %1").arg(version.Text));
    SkipSpace();
    TRepDefObject root = ParseObject(0);
    SkipSpace();
    if (!AtEnd())
        Fail(QStringLiteral("text after the final \"end\""));
    return root;
}

void TRepDefParser::SkipSpace()
{
    while (!AtEnd()) {
        const QChar c = FText[FPos];
        if (c == QLatin1Char('\n')) {
            ++FLine;
            ++FPos;
        } else if (c.isSpace()) {
            ++FPos;
        } else if (c == QLatin1Char('#')) {
            while (!AtEnd() && FText[FPos] != QLatin1Char('\n'))
                ++FPos;
        } else {
            break;
        }
    }
}

QString TRepDefParser::ReadIdent()
{
    if (!IsIdentStart(Peek()))
        Fail(QStringLiteral("a name was expected"));
    const qsizetype start = FPos;
    while (!AtEnd() && IsIdentPart(FText[FPos]))
        ++FPos;
    return FText.mid(start, FPos - start);
}

QString TRepDefParser::ReadPath()
{
    QString path = ReadIdent();
    while (Peek() == QLatin1Char('.')) {
        ++FPos;
        path += QLatin1Char('.') + ReadIdent();
    }
    return path;
}

void TRepDefParser::Expect(QChar c)
{
    SkipSpace();
    if (Peek() != c)
        Fail(QStringLiteral("\"%1\" was expected").arg(c));
    ++FPos;
}

TRepDefObject TRepDefParser::ParseObject(int depth)
{
    if (depth > RepDefMaxDepth)
        Fail(QStringLiteral("objects are nested too deeply"));
    TRepDefObject object;
    object.Line = FLine;
    if (ReadIdent() != QLatin1String("object"))
        Fail(QStringLiteral("\"object\" was expected"));
    SkipSpace();
    if (Peek() != QLatin1Char(':')) // unnamed objects leave the name out
        object.Name = ReadIdent();
    Expect(QLatin1Char(':'));
    SkipSpace();
    object.ClassName = ReadIdent();
    for (;;) {
        SkipSpace();
        if (AtEnd())
            Fail(QStringLiteral("\"end\" of object %1 is missing").arg(object.Name));
        const qsizetype mark = FPos;
        const QString word = ReadIdent();
        if (word == QLatin1String("end"))
            return object;
        FPos = mark;
        if (word == QLatin1String("object")) {
            object.Children.push_back(ParseObject(depth + 1));
            continue;
        }
        TRepDefLine line;
        line.Line = FLine;
        line.Path = ReadPath();
        Expect(QLatin1Char('='));
        SkipSpace();
        line.Value = ParseValue(depth);
        object.Lines.push_back(std::move(line));
    }
}

TRepDefValue TRepDefParser::ParseValue(int depth)
{
    if (depth > RepDefMaxDepth)
        Fail(QStringLiteral("lists are nested too deeply"));
    TRepDefValue value;
    value.Line = FLine;
    const QChar c = Peek();
    if (c == QLatin1Char('"')) {
        value.Kind = TRepDefValue::String;
        value.Text = ReadString();
    } else if (c == QLatin1Char('[')) {
        value.Kind = TRepDefValue::Set;
        ReadItems(QLatin1Char(']'), [&] {
            value.Names.push_back(ReadIdent());
            SkipSpace();
            if (Peek() == QLatin1Char(','))
                ++FPos;
        });
    } else if (c == QLatin1Char('(')) {
        value.Kind = TRepDefValue::List;
        ReadItems(QLatin1Char(')'), [&] { value.Items.push_back(ParseValue(depth + 1)); });
    } else if (IsNumberStart(c)) {
        value = ReadNumber();
    } else if (IsIdentStart(c)) {
        value.Kind = TRepDefValue::Ident;
        value.Text = ReadIdent();
    } else {
        Fail(QStringLiteral("a value was expected"));
    }
    return value;
}

void TRepDefParser::ReadItems(QChar close, const std::function<void()> &readItem)
{
    ++FPos; // the opening bracket
    SkipSpace();
    while (Peek() != close) {
        if (AtEnd())
            Fail(QStringLiteral("\"%1\" was expected").arg(close));
        readItem();
        SkipSpace();
    }
    ++FPos;
}

TRepDefValue TRepDefParser::ReadNumber()
{
    TRepDefValue value;
    value.Kind = TRepDefValue::Number;
    value.Line = FLine;
    const qsizetype start = FPos;
    if (Peek() == QLatin1Char('$')) // hexadecimal, $E9E9E9
        ++FPos;
    while (!AtEnd()) {
        const QChar c = FText[FPos];
        if (c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char('+'))
            ++FPos;
        else
            break;
    }
    value.Text = FText.mid(start, FPos - start);
    if (value.Text.isEmpty())
        Fail(QStringLiteral("a number was expected"));
    return value;
}

QString TRepDefParser::ReadString()
{
    ++FPos; // opening quote
    QString out;
    for (;;) {
        if (AtEnd() || FText[FPos] == QLatin1Char('\n'))
            Fail(QStringLiteral("a text is not closed with \""));
        const QChar c = FText[FPos++];
        if (c == QLatin1Char('"'))
            return out;
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (AtEnd())
            Fail(QStringLiteral("a text is not closed with \""));
        const QChar e = FText[FPos++];
        switch (e.unicode()) {
        case '\\': out += QLatin1Char('\\'); break;
        case '"': out += QLatin1Char('"'); break;
        case 'n': out += QChar(10); break;
        case 'r': out += QChar(13); break;
        case 't': out += QChar(9); break;
        case 'u': {
            bool ok = false;
            const uint code = FText.mid(FPos, 4).toUInt(&ok, 16);
            if (!ok || FPos + 4 > FText.size())
                Fail(QStringLiteral("\\u needs four hexadecimal digits"));
            FPos += 4;
            out += QChar(char16_t(code));
            break;
        }
        default:
            Fail(QStringLiteral("unknown escape \\%1 in a text").arg(e));
        }
    }
}
