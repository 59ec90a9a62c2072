#pragma once
// The text of a stored definition parsed into a tree: objects with their
// property lines and nested objects, before anything is known about
// classes or properties. A fault raises AppError "Error in <source>, line
// <n>: <what>", the form every fault of a definition takes.

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

// The first line of every definition: "zumoria-report 1".
inline constexpr const char *RepDefMagic = "zumoria-report";
inline constexpr int RepDefFormatVersion = 1;

// Objects and lists nest at most this deep.
inline constexpr int RepDefMaxDepth = 32;

[[noreturn]] void RepDefFail(const QString &source, int line, const QString &what);

// The value right of "=": a number (its text), a text, a name, a set of
// names in [ ] or a list of values in ( ).
struct TRepDefValue
{
    enum TKind { Number, String, Ident, Set, List };
    TKind Kind = Ident;
    QString Text;                   // number text, text, name
    std::vector<QString> Names;     // the names of a set
    std::vector<TRepDefValue> Items; // the values of a list
    int Line = 0;
};

// One "Path = value" line.
struct TRepDefLine
{
    QString Path;
    TRepDefValue Value;
    int Line = 0;
};

// "object Name: Class" … "end".
struct TRepDefObject
{
    QString Name;
    QString ClassName;
    int Line = 0;
    std::vector<TRepDefLine> Lines;
    std::vector<TRepDefObject> Children;
};

class TRepDefParser
{
public:
    TRepDefParser(const QByteArray &text, const QString &source);

    // The one top object of the text; faults raise AppError.
    TRepDefObject ParseFile();

private:
    [[noreturn]] void Fail(const QString &what) const { RepDefFail(FSource, FLine, what); }
    bool AtEnd() const { return FPos >= FText.size(); }
    QChar Peek() const { return AtEnd() ? QChar() : FText[FPos]; }
    void SkipSpace();
    QString ReadIdent();
    QString ReadPath();
    void Expect(QChar c);
    TRepDefObject ParseObject(int depth);
    TRepDefValue ParseValue(int depth);
    TRepDefValue ReadNumber();
    QString ReadString();
    // The items of a set or list up to close, each read by readItem.
    void ReadItems(QChar close, const std::function<void()> &readItem);

    QString FText;
    QString FSource;
    qsizetype FPos = 0;
    int FLine = 1;
};
