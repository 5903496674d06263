#pragma once
// Little-endian fields of the generators' files: appended to a byte block by
// the writers, read back by the readers.
#include <QByteArray>
#include <QtEndian>

namespace resgen {

inline void Put16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

inline void Put32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

inline quint16 Get16(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}
inline quint32 Get32(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

} // namespace resgen
