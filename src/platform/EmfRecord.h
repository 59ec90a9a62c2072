#pragma once
// One record of an enhanced metafile, read in place. Every read past the
// record's end gives 0 and marks the record broken, so a reader of a
// crafted record never leaves its bytes.

#include <QByteArray>
#include <QColor>
#include <QRect>
#include <QString>
#include <QStringDecoder>
#include <QtEndian>
#include <algorithm>
#include <cstring>

struct EmfRecord
{
    const char *p;
    quint32 size;
    mutable bool broken = false;

    quint32 U32(quint32 off) const
    {
        if (off > size || size - off < 4) {
            broken = true;
            return 0;
        }
        return qFromLittleEndian<quint32>(p + off);
    }
    qint32 I32(quint32 off) const { return qint32(U32(off)); }
    qint16 I16(quint32 off) const
    {
        if (off > size || size - off < 2) {
            broken = true;
            return 0;
        }
        return qFromLittleEndian<qint16>(p + off);
    }
    quint8 U8(quint32 off) const
    {
        if (off >= size) {
            broken = true;
            return 0;
        }
        return quint8(p[off]);
    }
    float F32(quint32 off) const
    {
        const quint32 bits = U32(off);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    QColor Color(quint32 off) const { return QColor(U8(off), U8(off + 1), U8(off + 2)); }
    QRect Box(quint32 off) const // inclusive-inclusive rectangle
    {
        return QRect(QPoint(I32(off), I32(off + 4)), QPoint(I32(off + 8), I32(off + 12)));
    }
    bool Holds(quint64 off, quint64 bytes) const { return off <= size && bytes <= size - off; }
};

// The characters of a text record (EMR_EXTTEXTOUTW when wide, else
// EMR_EXTTEXTOUTA, whose bytes read as Windows-1252), at most limit of them;
// empty for a record without text or whose text lies outside it.
inline QString EmfRecordText(const EmfRecord &r, bool wide, quint32 limit)
{
    const quint32 count = std::min(r.U32(44), limit);
    const quint32 offString = r.U32(48);
    if (r.broken || count == 0 || !r.Holds(offString, quint64(count) * (wide ? 2 : 1)))
        return {};
    if (!wide)
        return QStringDecoder("windows-1252")(QByteArrayView(r.p + offString, qsizetype(count)));
    QString text(qsizetype(count), Qt::Uninitialized);
    for (quint32 i = 0; i < count; ++i)
        text[qsizetype(i)] = QChar(quint16(r.U8(offString + 2 * i) | (r.U8(offString + 2 * i + 1) << 8)));
    return text;
}

// Calls visit(type, record) for every record of the EMF bytes up to the
// end-of-file record; stops at a record whose size does not fit.
template <typename Visit>
void ForEachEmfRecord(const QByteArray &bytes, Visit &&visit)
{
    qsizetype at = 0;
    while (at + 8 <= bytes.size()) {
        const EmfRecord r{bytes.constData() + at, qFromLittleEndian<quint32>(bytes.constData() + at + 4)};
        if (r.size < 8 || r.size > bytes.size() - at)
            return;
        const quint32 type = qFromLittleEndian<quint32>(r.p);
        if (type == 14) // the end-of-file record
            return;
        visit(type, r);
        at += r.size;
    }
}
