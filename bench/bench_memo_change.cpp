// Measures one memo change as the program makes it, for memos of 100 B,
// 10 KB and 1 MB: handed to the writer's thread and waited for (the value
// file becomes the backup by a hard link, the new text is written through a
// synced temporary file, one sync of the folder for both), the same as two
// replaces of their own one after the other, each with its folder's sync,
// and beside them their floor, two plain fsync'd temp-and-rename replaces
// of the same bytes with POSIX calls. Prints medians in microseconds.
#include "store/DataFolder.h"
#include "store/ValueFile.h"
#include "store/ValueFiles.h"
#include "store/Values.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

bool plainReplace(const QByteArray &path, const QByteArray &bytes)
{
    const QByteArray temp = path + ".tmp";
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    return ok && ::rename(temp.constData(), path.constData()) == 0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(5, atoi(argv[1])) : 41;
    QTemporaryDir dir;
    DataFolder data(dir.path());
    if (!data.ensureLayout().ok())
        return 1;
    Values values(data, [](const QString &message) { std::fprintf(stderr, "%s\n", qPrintable(message)); });

    std::printf("%-8s %12s %12s %12s %8s\n", "memo", "writer_us", "two_us", "floor_us", "ratio");
    for (const int size : {100, 10 * 1024, 1024 * 1024}) {
        QString text(size, QLatin1Char('a')), before = text;
        std::vector<double> two, writer, floor;
        if (!data.writeTextValue(ValueFiles::memo(4), text).ok())
            return 1;
        values.filled(ValueFiles::memo(4), text);
        for (int i = 0; i < rounds; ++i) {
            text[i % size] = QLatin1Char(i % 2 ? 'b' : 'c');
            QElapsedTimer t;
            t.start();
            if (!data.backupValue(ValueFiles::memo(3), ValueFiles::memoBackup(3)).ok()
                || !data.writeTextValue(ValueFiles::memo(3), text).ok())
                return 1;
            two.push_back(t.nsecsElapsed() / 1000.0);

            t.start();
            values.saveChange(ValueFiles::memo(4), ValueFiles::memoBackup(4), {{i % size, 1, text.mid(i % size, 1)}}, false);
            values.flush(-1);
            writer.push_back(t.nsecsElapsed() / 1000.0);
            before = text;

            const QByteArray bytes = ValueFile::encodeText(text);
            t.start();
            plainReplace(QFile::encodeName(data.absolute(QStringLiteral("set/floorX.txt"))), bytes);
            plainReplace(QFile::encodeName(data.absolute(QStringLiteral("set/floor.txt"))), bytes);
            floor.push_back(t.nsecsElapsed() / 1000.0);
        }
        const double w = median(writer), c = median(two), f = median(floor);
        std::printf("%-8d %12.0f %12.0f %12.0f %8.2f\n", size, w, c, f, w / f);
    }
    return 0;
}
