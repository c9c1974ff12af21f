// The long run of tests/testconfigurationfuzz: damaged conf.ini files loaded
// with every tool, as the test does, but as many as asked. Build it with
// -DCLEPSA_SANITIZE=ON to have AddressSanitizer and UBSan watch each input.
// Usage: fuzzconfig [inputs, default 100000] [seed, default 20261207]
#include "support/configurationfuzzer.h"
#include "support/testday.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char* argv[])
{
    // No window is shown: the offscreen platform unless one is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    const quint32 seed = argc > 2 ? QByteArray(argv[2]).toUInt() : 20261207;
    // The damaged files' complaints would drown the figures.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});

    TestDay day(QStringLiteral("10:00:00.003"));
    QElapsedTimer time;
    time.start();
    const QList<int> unstable = fuzzConfigurationLoad(day, seed, count, 60);
    const qint64 ms = time.elapsed();

    QTextStream out(stdout);
    out << "Inputs run: " << count << " (seed " << seed << ")\n"
        << "Time: " << ms << " ms, " << double(ms) / qMax(1, count) << " ms per input\n"
        << "Stored differently by a second run: " << unstable.size() << " inputs";
    for (const int index : unstable.mid(0, 20))
        out << " " << index;
    out << "\n";
    return unstable.isEmpty() ? 0 : 1;
}
