// Twenty keys typed at ten a second at the start of memo page 1 holding
// BYTES bytes of Japanese text in ordinary lines, as the program handles
// them; or, with "floor", into a bare QPlainTextEdit holding the same text.
// For each key, the time the user-interface thread spent on it (the key
// and whatever it left for the event loop), wall and CPU. Prints, in
// milliseconds: the start until the first frame, median and longest key
// (wall), median and longest key (CPU), the last key's text synced to disk
// after it was pressed (0 for the floor), and the peak resident memory in MB.
//   bench_big_memo BYTES [floor]
#include "app/Program.h"
#include "kit/Fonts.h"
#include "main/Main.h"
#include "platform/fake/FakePlatform.h"
#include "store/DataFolder.h"
#include "store/ProgramPlaces.h"
#include "store/ValueFiles.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 bytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1'000'000;
    const bool floor = argc > 2 && QByteArray(argv[2]) == "floor";
    constexpr int kKeys = 20, kApartMs = 100;

    // 30 characters a line, each two bytes in code page 932, CR LF two more.
    const QString line = QStringLiteral("今日の予定：十時から会議、午後は資料の見直しと買い物です。");
    const QString text = (line + u'\n').repeated(std::max<qint64>(1, bytes / (line.size() * 2 + 2)));
    QTemporaryDir dir;
    const DataFolder data(dir.path());
    if (!data.ensureLayout().ok())
        return 1;
    QString stored = text;
    stored.replace(u'\n', QLatin1String("\r\n"));
    if (!data.writeTextValue(ValueFiles::memo(1), stored).ok())
        return 1;

    FakePlatform platform;
    std::unique_ptr<Program> program;
    std::unique_ptr<QPlainTextEdit> bare;
    QElapsedTimer clock;
    clock.start();
    QPlainTextEdit *box = nullptr;
    if (floor) {
        // As Main shows page 1 at its first start: the font, the size.
        bare = std::make_unique<QPlainTextEdit>();
        bare->setFont(Fonts::msPGothic(9.75));
        bare->resize(488, 260);
        bare->setPlainText(text);
        bare->show();
        box = bare.get();
    } else {
        program = std::make_unique<Program>(data, platform, ProgramPlaces::decide(dir.path(), true, true, QString()));
        program->start();
        box = static_cast<Main *>(program->windows.get(WindowId::Main))->text(1);
    }
    QCoreApplication::processEvents();
    const double startMs = clock.nsecsElapsed() / 1e6;
    box->setFocus();
    box->moveCursor(QTextCursor::Start);

    std::vector<double> wall, cpu;
    clock.restart();
    for (int sent = 0; sent < kKeys; ++sent) {
        // On time, as the window system hands keys over; what the last key
        // left for the event loop runs meanwhile.
        while (clock.elapsed() < sent * kApartMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        const QString typed(QChar(u'あ' + sent));
        QElapsedTimer handling;
        handling.start();
        const double cpuBefore = threadCpuMs();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, typed);
        QCoreApplication::sendEvent(box, &press);
        QCoreApplication::sendEvent(box, &release);
        QCoreApplication::processEvents();
        wall.push_back(handling.nsecsElapsed() / 1e6);
        cpu.push_back(threadCpuMs() - cpuBefore);
    }
    const double lastKey = (kKeys - 1) * kApartMs;
    const double synced = floor ? 0 : (program->values.flush(-1), clock.nsecsElapsed() / 1e6 - lastKey);
    std::printf("%.1f %.2f %.2f %.2f %.2f %.1f %.0f\n", startMs, median(wall), *std::max_element(wall.begin(), wall.end()),
                median(cpu), *std::max_element(cpu.begin(), cpu.end()), synced, peakMegabytes());
    return 0;
}
