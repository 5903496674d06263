#pragma once
// Little-endian fields appended to a byte block, for the file writers.
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

} // namespace resgen
