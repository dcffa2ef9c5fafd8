#pragma once
// Whole files in tests: preparing input files and reading back what the program wrote.

#include <QByteArray>
#include <QString>

// The file's bytes; empty when it cannot be read.
QByteArray ReadTestFile(const QString &path);

// Replaces the file's contents, creating it when missing; false unless every byte was
// written, so that callers check it with QVERIFY.
bool WriteTestFile(const QString &path, const QByteArray &data);
