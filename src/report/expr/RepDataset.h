#pragma once
// The small view of a data set that report expressions read fields through.
// The program itself has no data sets; a report hands its (empty) list to the
// evaluator, and anything that offers records can implement this interface.

#include <QList>
#include <QString>
#include <QtGlobal>

enum class TRepFieldType {
    String,
    Integer,
    SmallInt,
    Word,
    Float,
    Currency,
    BCD,
    Boolean,
    Date,
    DateTime,
    Other,
};

// One field of the current record.
class TRepField
{
public:
    virtual ~TRepField() = default;
    virtual QString FieldName() const = 0;
    virtual TRepFieldType DataType() const = 0;
    virtual QString AsString() const = 0;
    virtual qint32 AsInteger() const = 0;
    virtual double AsFloat() const = 0;
    virtual bool AsBoolean() const = 0;
    // The text shown for the value (dates and times in the user's format).
    virtual QString DisplayText() const = 0;
};

class TRepDataset
{
public:
    virtual ~TRepDataset() = default;
    virtual QString DatasetName() const = 0;
    virtual int FieldCount() const = 0;
    // The field at index, or nullptr outside 0 .. FieldCount() - 1.
    virtual TRepField *FieldAt(int index) const = 0;
    // True when the data set makes its fields itself; such field objects may
    // be replaced at any time, so readers look them up by index every time.
    virtual bool DefaultFields() const = 0;
};

// A list of data sets; the list belongs to whoever hands it over.
using TRepDatasetList = QList<TRepDataset *>;
