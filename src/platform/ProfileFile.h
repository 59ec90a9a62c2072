#pragma once
// A private profile (INI) file with the classic Windows semantics:
//  - "[Section]" lines open sections, "Key=Value" lines give values;
//  - section and key names match without regard to letter case, the first
//    matching section and the first matching key in it win;
//  - a value is read without surrounding blanks and without one pair of
//    enclosing quotation marks ("..." or '...'), and at most 2047 characters;
//  - integers are written in decimal and read as decimal, "0x" hex or "$" hex
//    (an optional sign first); anything else reads as the default;
//  - booleans are written as 1 / 0 and read as integers (non-zero is true);
//  - a missing file, section or key reads as the default;
//  - new keys go to the end of their section, new sections to the end of the
//    file, so sections stand in the order of their first write;
//  - lines the file does not understand (comments, junk, unknown keys) are
//    kept as they are.
// The file is opened by name for every single read or write and never held
// open. Every write replaces the whole file atomically (temporary file in the
// same folder, fsync, rename): a crash, a full disk or a refused write leaves
// either the old or the new file, never a half-written one. A write that
// cannot be completed raises AppError "Unable to write to <path>"; so does
// a write to a file that is there but cannot be read, is no regular file or
// is read-only, which is left as it is (its folder may allow a rename, the
// file itself does not allow the write). Byte-order marks before the first
// line are kept as they are. The file is read and written as UTF-8.

#include <QList>
#include <QPair>
#include <QString>

class ProfileFile
{
public:
    explicit ProfileFile(QString path);

    const QString &path() const { return FPath; }

    // The longest value a read returns; longer values are cut.
    static constexpr int MaxValueLength = 2047;

    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    int ReadInteger(const QString &section, const QString &key, int def) const;
    bool ReadBool(const QString &section, const QString &key, bool def) const;

    // Writes a value; a line break in the value becomes a blank, so a value
    // can never split into lines of its own. Creates the file (and its
    // folder) on the first write.
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);

    // Removes the key's line, if the file has one; a missing file or key is
    // left as it is (nothing is written).
    void DeleteKey(const QString &section, const QString &key);

    // True when the section holds the key (used to tell a missing key from
    // an empty value).
    bool KeyExists(const QString &section, const QString &key) const;

    // A whole section at once: its keys and cleaned values in file order
    // (a key written twice counts once, the first time).
    using Entries = QList<QPair<QString, QString>>;
    Entries ReadSection(const QString &section) const;
    // Replaces every key of the section with entries, in one write; other
    // lines of the section (comments) stay. An empty list writes nothing
    // when the section is not there.
    void WriteSection(const QString &section, const Entries &entries);

private:
    // False when the key is missing; else *value is its cleaned value.
    bool Lookup(const QString &section, const QString &key, QString *value) const;

    QString FPath;
};

// Parses an integer the way the profile file reads one: optional blanks
// and sign, then decimal digits, or "0x"/"$" followed by hex digits. Hex
// values up to 0xFFFFFFFF wrap into the 32-bit signed range. Returns false
// (and leaves *value alone) when the text is no such number or is out of range.
bool ParseProfileInteger(const QString &text, int *value);
