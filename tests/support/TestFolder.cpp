#include "TestFolder.h"

#include "store/ValueFile.h"
#include "store/ValueFiles.h"

#include <QDir>
#include <QFile>
#include <QTest>

TestFolder::TestFolder(const QString &disk)
    : m_dir(disk.isEmpty() ? disk : disk + QStringLiteral("/XXXXXX"))
{
    if (const Result<> laidOut = data.ensureLayout(); !laidOut.ok())
        qFatal("cannot lay out the test folder: %s", qPrintable(laidOut.error));
}

QByteArray TestFolder::bytes(const QString &relative) const
{
    beforeLooking();
    QFile file(data.absolute(relative));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

void TestFolder::plant(const QString &relative, const QByteArray &bytes) const
{
    beforeLooking();
    // A new file, as an editor that saves by rename makes: a backup that
    // shares the old one's bytes keeps them.
    QFile::remove(data.absolute(relative));
    QFile file(data.absolute(relative));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot plant %s", qPrintable(relative));
}

void TestFolder::plantGeometry(const QByteArrayList &texts) const
{
    const QString files[4] = {ValueFiles::kLeft, ValueFiles::kTop, ValueFiles::kWidth, ValueFiles::kHeight};
    for (int i = 0; i < 4; ++i)
        plant(files[i], textBytes(texts.value(i)));
}

QByteArray TestFolder::geometryBytes() const
{
    return bytes(ValueFiles::kLeft) + bytes(ValueFiles::kTop) + bytes(ValueFiles::kWidth) + bytes(ValueFiles::kHeight);
}

void TestFolder::breakFile(const QString &relative) const
{
    beforeLooking();
    QFile::remove(data.absolute(relative));
    QDir().mkpath(data.absolute(relative));
}

void TestFolder::mendFile(const QString &relative) const
{
    beforeLooking();
    QDir(data.absolute(relative)).removeRecursively();
}
