#pragma once
// The classes a definition knows and the properties each one stores: one
// table per class, chained to the table of its base class, so that a
// property is declared once, beside its class, and read and written from
// that one line.
//
// Reading looks a property up in the object's class and then up the chain
// of bases, so a class can replace (or refuse) a property of its base.
// Writing goes through the sections in their order and, inside a section,
// through the chain from the base class down, each property in the order of
// its table.

#include "report/definition/detail/RepDefParser.h"

#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class TRepControl;
class TRepCustomReport;
class TRepDefReader;

// What a property holds, as it is spelt in the text.
enum class TRepDefKind {
    Boolean,   // true / false
    Integer,   // a whole number
    Color,     // a colour name or 0x00BBGGRR
    Text,      // a text in double quotes
    Name,      // one of the names in Choices
    Set,       // a set of the names in Choices
    Texts,     // a list of texts
    Lengths,   // a list of Count lengths (Native)
    Reference, // the name of another object of the definition
    Handler,   // the name of a method of the report
    Refused,   // a property of a related class, refused with its own fault
};

// Where a property is written among the lines of its object.
enum class TRepDefSection {
    Role,     // what a band is and whom it follows
    Settings, // the switches and settings of the class
    Looks,    // colour, visibility and font
    Frame,
    Caption,  // the text of a label
    Details,  // what the class adds beyond these
    Handlers,
    Contents, // the items a band repeats over
    Lengths,  // the Values list of the size, read after every other line
};

// A property's text as written: one value, or a list of texts that goes on
// lines of its own.
struct TRepDefText
{
    TRepDefText(QString value) : Value(std::move(value)) {}
    explicit TRepDefText(QStringList texts) : Texts(std::move(texts)) {}

    QString Value;
    std::optional<QStringList> Texts;
};

struct TRepDefProperty
{
    using ReadStep = std::function<void(TRepDefReader &reader, TRepControl &control, const TRepDefValue &value)>;
    // The text of the property, or nothing when it is left out.
    using WriteStep = std::function<std::optional<TRepDefText>(TRepControl &control)>;

    QString Name;
    TRepDefKind Kind = TRepDefKind::Text;
    TRepDefSection Section = TRepDefSection::Details;
    QStringList Choices; // Name and Set
    int Count = 0;       // Lengths
    ReadStep Read;
    WriteStep Write; // empty for properties that are only read
};

// Where objects of a class may be placed.
enum class TRepDefPlace { Nowhere, OnReport, OnBandOrReport };

struct TRepDefClass
{
    using CreateStep = std::function<TRepControl *(TRepCustomReport &report, TRepControl &parent)>;
    using ChildrenStep = std::function<std::vector<TRepControl *>(TRepControl &control)>;

    QString Name;
    const TRepDefClass *Base = nullptr;
    std::vector<TRepDefProperty> Properties;
    TRepDefPlace Place = TRepDefPlace::Nowhere;
    // Makes an object of the class under parent; empty for classes a
    // definition names only as the base of others, and for the report.
    CreateStep Create;
    // Whether control is an object of this class (or of a class derived
    // from it); set where Create is.
    std::function<bool(TRepControl &control)> Holds;
    // The objects written inside an object of the class, in order; when
    // empty, those of the base class.
    ChildrenStep Children;

    // The property of that name, from this class or the nearest base that
    // has it.
    const TRepDefProperty *Find(const QString &name) const;
    // The properties of the class and its bases that are written, in
    // writing order.
    std::vector<const TRepDefProperty *> WritingOrder() const;
    std::vector<TRepControl *> ChildrenOf(TRepControl &control) const;
};

// The classes a definition knows.
struct TRepDefClasses
{
    // The class of the top object.
    const TRepDefClass *Report = nullptr;
    // Every class, bases included.
    std::vector<const TRepDefClass *> All;

    // The class of that name; nullptr for a name the definition does not
    // know.
    const TRepDefClass *Named(const QString &name) const;
    // The class an object is written as: the first class that can be made
    // from a definition and holds it; nullptr when there is none.
    const TRepDefClass *Of(TRepControl &control) const;
};
