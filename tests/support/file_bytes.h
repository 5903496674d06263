#pragma once
// Whole-file reads and writes for tests that check what a writer left on disk.
#include <QByteArray>
#include <QString>
#include <initializer_list>

namespace testing_support {

// The file's bytes, or "<missing>" when it cannot be read.
QByteArray ReadFileBytes(const QString& path);
// Writes the bytes, making the folder first; false when that fails.
bool WriteFileBytes(const QString& path, const QByteArray& bytes);
// A byte block written out byte by byte, for golden bytes by hand.
QByteArray BytesOf(std::initializer_list<int> values);

} // namespace testing_support
