// The tool's output device: each line (or flushed rest) reaches the system in one write, so that
// a console decodes whole letters; and the bytes through a real pipe are the text's.
#include "cli/CliPlatform.h"
#include "cli/LineOutput.h"

#include <QTextStream>
#include <QtTest>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

using namespace korvex::cli;

class TestCliOutput : public QObject {
    Q_OBJECT
private slots:
    void eachLineInOneWrite_data();
    void eachLineInOneWrite();
    void throughAPipe();
};

namespace {

// What a stream is given: a line ended with Qt::endl, or text left for a flush.
struct Piece {
    QString text;
    bool endLine = true;
};

} // namespace

Q_DECLARE_METATYPE(QList<Piece>)

void TestCliOutput::eachLineInOneWrite_data() {
    QTest::addColumn<bool>("refuse");
    QTest::addColumn<QList<Piece>>("pieces");
    QTest::addColumn<QList<QByteArray>>("writes");
    QTest::addColumn<bool>("fails");

    const QList<Piece> info{{QStringLiteral("Устройство: KORVEX-SWC-ADP")},
                            {QStringLiteral("Прошивка: 2.06")}};
    QTest::newRow("the system refuses: the stream fails")
        << true << info << QList<QByteArray>{"Устройство: KORVEX-SWC-ADP\n"} << true;
    QTest::newRow("nothing written, no call")
        << false << QList<Piece>{} << QList<QByteArray>{} << false;
    QTest::newRow("Russian lines, one call each")
        << false << info << QList<QByteArray>{"Устройство: KORVEX-SWC-ADP\n", "Прошивка: 2.06\n"}
        << false;
    QTest::newRow("progress without a line feed, whole at its flush")
        << false << QList<Piece>{{QStringLiteral("\rЗапись  42%"), false}, {QString()}}
        << QList<QByteArray>{"\rЗапись  42%", "\n"} << false;
    const QString longLine(5000, QChar(0x0416)); // 10,000 bytes of two-byte letters
    QTest::newRow("a long line whole") << false << QList<Piece>{{longLine}}
                                       << QList<QByteArray>{longLine.toUtf8() + '\n'} << false;
}

void TestCliOutput::eachLineInOneWrite() {
    QFETCH(bool, refuse);
    QFETCH(QList<Piece>, pieces);
    QFETCH(QList<QByteArray>, writes);
    QFETCH(bool, fails);

    QList<QByteArray> seen;
    LineOutput device([&](const QByteArray& bytes) {
        seen << QByteArray(bytes.constData(), bytes.size());
        return !refuse;
    });
    QTextStream stream(&device);
    for (const Piece& piece : pieces) {
        stream << piece.text;
        if (piece.endLine)
            stream << Qt::endl;
        else
            stream << Qt::flush;
    }
    stream.flush();
    QCOMPARE(seen, writes);
    QCOMPARE(stream.status(), fails ? QTextStream::WriteFailed : QTextStream::Ok);
}

void TestCliOutput::throughAPipe() {
    int ends[2] = {-1, -1};
#ifdef Q_OS_WIN
    QCOMPARE(_pipe(ends, 1 << 16, _O_BINARY), 0);
#else
    QCOMPARE(::pipe(ends), 0);
#endif
    const QString text = QStringLiteral("Контроллер найден на COM3\nConfiguration read\nЁж\n");
    int calls = 0;
    {
        LineOutput device([&](const QByteArray& bytes) {
            ++calls;
            return WriteWhole(ends[1], bytes);
        });
        QTextStream stream(&device);
        for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
            stream << line << Qt::endl;
        QCOMPARE(stream.status(), QTextStream::Ok);
    }
#ifdef Q_OS_WIN
    _close(ends[1]);
#else
    ::close(ends[1]);
#endif
    QByteArray got;
    char buffer[256];
    for (;;) {
#ifdef Q_OS_WIN
        const int n = _read(ends[0], buffer, sizeof buffer);
#else
        const auto n = ::read(ends[0], buffer, sizeof buffer);
#endif
        if (n <= 0)
            break;
        got.append(buffer, n);
    }
    QCOMPARE(calls, 3);
    QCOMPARE(QString::fromUtf8(got), text);
}

QTEST_GUILESS_MAIN(TestCliOutput)
#include "tst_cli_output.moc"
