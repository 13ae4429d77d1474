// The frame layer against the virtual controller: bytes on the wire, reply parsing, retries,
// result texts and the trace.
#include "common/SimRig.h"
#include "host/TickCount.h"
#include "link/Crc32Fingerprint.h"
#include "link/IdentityRecord.h"
#include "link/ResultText.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

using namespace korvex;
using korvex::sim::Fault;

namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

// Feeds a fixed byte sequence to the receiver, then reports the port as gone, so that every
// sequence ends without waiting for time-outs.
class ByteFeed final : public SerialTransport {
public:
    QByteArray bytes;
    int chunk = 1;
    bool opened = true;
    bool open(const QString&) override { return opened = true; }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    int write(const std::uint8_t*, int count) override { return count; }
    int read(std::uint8_t* buffer, int capacity) override {
        if (bytes.isEmpty()) {
            opened = false;
            return 0;
        }
        const int n = static_cast<int>(
            std::min<qsizetype>({qsizetype(capacity), qsizetype(chunk), bytes.size()}));
        std::memcpy(buffer, bytes.constData(), static_cast<std::size_t>(n));
        bytes.remove(0, n);
        return n;
    }
    void purge() override {}
    bool waitForData(int) override { return !bytes.isEmpty(); }
};

// Another device on the same kind of converter: it streams noise without a start byte, about
// 11 bytes a millisecond as at 115200 baud. It falls silent after `runMs`, so that a receiver
// that never gives up fails the test instead of hanging it.
class Chatter final : public SerialTransport {
public:
    std::uint32_t began = TickCount();
    std::uint32_t lastRead = began;
    int runMs = 4000;
    bool open(const QString&) override { return true; }
    void close() override {}
    bool isOpen() const override { return true; }
    int write(const std::uint8_t*, int count) override { return count; }
    int read(std::uint8_t* buffer, int capacity) override {
        const std::uint32_t now = TickCount();
        if (static_cast<int>(now - began) >= runMs)
            return 0;
        const int n = std::min(capacity, static_cast<int>(now - lastRead) * 11);
        if (n > 0)
            lastRead = now;
        for (int i = 0; i < n; ++i)
            buffer[i] = static_cast<std::uint8_t>(i % 2 ? 0xAA : 0x54);
        return n;
    }
    void purge() override {}
    bool waitForData(int ms) override {
        QThread::msleep(static_cast<unsigned long>(std::min(ms, 1)));
        return true;
    }
};

} // namespace

class TestFrameProtocol : public QObject {
    Q_OBJECT
private slots:
    void checkByteAndFingerprint();
    void requestsOnTheWire();
    void repliesWithNoiseAroundThem();
    void badRepliesAndRetries();
    void firmwareChunkIsNeverRepeated();
    void statusRepliesAndClosedPort();
    void resultTexts();
    void traceLines();
    void anyByteSequenceEndsInAResult();
    void huntForTheStartByteEnds();
    void gapLimitBetweenReplyBytes();
    void lateReplyArrivesInTheNextAttempt();
};

void TestFrameProtocol::checkByteAndFingerprint() {
    const std::uint8_t identity[] = {0x01, 0x00, 0x00, 0x00};
    QCOMPARE(FrameCheck(0, identity, 4), std::uint8_t(0x10));
    const std::uint8_t abc[] = {'a', 'b', 'c'};
    QCOMPARE(FrameCheck(0, abc, 3), std::uint8_t(0x04));
    // One shift per byte, not the eight-shift CRC-8: a single 0x80 gives 0x21, not 0x07 or 0x89.
    const std::uint8_t top[] = {0x80};
    QCOMPARE(FrameCheck(0, top, 1), std::uint8_t(0x21));

    // CRC-32/MPEG-2 check value.
    const QByteArray nine("123456789");
    const auto* p = reinterpret_cast<const std::uint8_t*>(nine.constData());
    QCOMPARE(Crc32Fingerprint(0xFFFFFFFFu, p, p + 9), 0x0376E6E7u);
    QCOMPARE(Crc32Fingerprint(0xFFFFFFFFu, p, p), 0xFFFFFFFFu);
}

void TestFrameProtocol::requestsOnTheWire() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    QCOMPARE(rig.controller.wireIn, Hex("55010000"
                                        "0010"));

    // A request without payload is six bytes; the edit of pin X2/1 goes out as specified.
    rig.controller.clearLog();
    QCOMPARE(rig.device().DeviceWrite(area::Restart, 0, nullptr, 0), 0);
    QCOMPARE(rig.controller.wireIn.size(), 6);
    QCOMPARE(rig.controller.wireIn.left(5), Hex("5583000000"));

    rig.controller.clearLog();
    const std::uint8_t one = 1;
    QCOMPARE(rig.device().DeviceWrite(area::Configuration, 1980, &one, 1), 0);
    const std::uint8_t body[] = {0x90, 0xBC, 0x07, 0x01, 0x01};
    QByteArray expected = Hex("5590BC070101");
    expected.append(static_cast<char>(FrameCheck(0, body, 5)));
    QCOMPARE(rig.controller.wireIn, expected);
    QCOMPARE(rig.controller.config[1980], std::uint8_t(1));
}

void TestFrameProtocol::repliesWithNoiseAroundThem() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    rig.controller.clearLog();
    rig.controller.addFault(Fault::GarbageBefore, 0x01, 1, 40);
    rig.controller.addFault(Fault::GarbageAfter, 0x01, 1, 30);
    IdentityRecord id;
    QCOMPARE(rig.device().ReadIdentity(id), 0);
    QCOMPARE(id.serialNumber(), rig.controller.serialNumber);
    // The bytes after the first reply are dropped: the next exchange is clean too.
    QCOMPARE(rig.device().ReadIdentity(id), 0);
    QCOMPARE(id.deviceName(), QStringLiteral("KORVEX-SWC-ADP"));
    QCOMPARE(rig.controller.requests.size(), std::size_t(2));

    // A 0x55 inside a reply is data, not a new start: serial number 0x55555555.
    rig.controller.serialNumber = 0x55555555;
    QCOMPARE(rig.device().ReadIdentity(id), 0);
    QCOMPARE(id.serialNumber(), 0x55555555u);

    // Replies that arrive a few bytes at a time are assembled.
    rig.transport.maxBytesPerRead = 3;
    QCOMPARE(rig.device().ReadIdentity(id), 0);
    QCOMPARE(id.serialNumber(), 0x55555555u);
}

void TestFrameProtocol::badRepliesAndRetries() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    IdentityRecord id;

    // A length byte of 65 fails at once: the bytes after it are not even read.
    rig.controller.clearLog();
    rig.transport.maxBytesPerRead = 4;
    rig.controller.addFault(Fault::LengthAbove64, 0x10);
    Frame f = Frame::request(0x10, 0);
    QCOMPARE(rig.link.frames.FrameTransact(f), 7);
    QVERIFY(rig.controller.msUntilOutput(TickCount()) >= 0); // the rest of the reply is unread
    QCOMPARE(f.cmd(), std::uint8_t(0x10));                   // the request is left as it was
    rig.transport.maxBytesPerRead = 0;
    rig.controller.faults.clear();

    // A wrong check byte fails with 10 and is tried three times in all.
    rig.controller.clearLog();
    rig.controller.addFault(Fault::BadCheck, 0x01);
    QCOMPARE(rig.device().ReadIdentity(id), 10);
    QCOMPARE(rig.controller.requests.size(), std::size_t(3));
    // One spoiled reply is mended by the second attempt.
    rig.controller.faults.clear();
    rig.controller.clearLog();
    rig.controller.addFault(Fault::BadCheck, 0x01, 1);
    QCOMPARE(rig.device().ReadIdentity(id), 0);
    QCOMPARE(rig.controller.requests.size(), std::size_t(2));

    // No reply: three attempts of about 100 ms each, with 10 ms pauses.
    rig.controller.clearLog();
    rig.controller.addFault(Fault::NoReply, 0x01);
    const std::uint32_t start = TickCount();
    QCOMPARE(rig.device().ReadIdentity(id), 13);
    const std::uint32_t took = TickCount() - start;
    QCOMPARE(rig.controller.requests.size(), std::size_t(3));
    QVERIFY2(took >= 300, qPrintable(QString::number(took)));
    QVERIFY2(took < 3000, qPrintable(QString::number(took)));
    rig.controller.faults.clear();

    // A reply cut short after its start byte times out as well.
    rig.controller.clearLog();
    rig.controller.addFault(Fault::CutShort, 0x01, 3, 10);
    QCOMPARE(rig.device().ReadIdentity(id), 13);
    QCOMPARE(rig.controller.requests.size(), std::size_t(3));

    // A late reply within the limits is still taken.
    rig.controller.addFault(Fault::Delay, 0x01, 1, 60);
    QCOMPARE(rig.device().ReadIdentity(id), 0);
}

void TestFrameProtocol::firmwareChunkIsNeverRepeated() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    const std::uint8_t chunk[64] = {1, 2, 3};
    for (Fault fault : {Fault::NoReply, Fault::BadCheck}) {
        rig.controller.clearLog();
        rig.controller.faults.clear();
        rig.controller.addFault(fault, 0x82);
        QVERIFY(rig.device().DeviceWrite(area::Firmware, 0, chunk, 64) != 0);
        QCOMPARE(rig.controller.requests.size(), std::size_t(1));
    }
    // Other writes are repeated.
    rig.controller.clearLog();
    rig.controller.addFault(Fault::NoReply, 0x90);
    QCOMPARE(rig.device().DeviceWrite(area::Configuration, 0, chunk, 8), 13);
    QCOMPARE(rig.controller.requests.size(), std::size_t(3));
}

void TestFrameProtocol::statusRepliesAndClosedPort() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    const std::uint8_t data[4] = {};
    rig.controller.addFault(Fault::StatusFE, 0x90, 1);
    QCOMPARE(rig.device().DeviceWrite(area::Configuration, 0, data, 4), -254);
    rig.controller.addFault(Fault::StatusFD, 0x90, 1);
    QCOMPARE(rig.device().DeviceWrite(area::Configuration, 0, data, 4), -253);
    // A converter that takes only part of a request: 12, and the next attempt goes through.
    rig.controller.clearLog();
    rig.controller.addFault(Fault::PartialWrite, 0x01, 1, 3);
    IdentityRecord partial;
    QCOMPARE(rig.device().ReadIdentity(partial), 0);
    QCOMPARE(rig.controller.wireIn, Hex("550100"
                                        "5501000000"
                                        "10"));
    QCOMPARE(rig.controller.requests.size(), std::size_t(1));
    rig.controller.addFault(Fault::PartialWrite, 0x01, -1, 5);
    QCOMPARE(rig.device().ReadIdentity(partial), 12);
    QCOMPARE(rig.controller.requests.size(), std::size_t(1));
    rig.controller.faults.clear();

    // An unknown command is refused by the controller itself.
    Frame f = Frame::request(0x33, 0);
    QCOMPARE(rig.link.frames.FrameTransactRetry(f), 0);
    int status = 0;
    QVERIFY(ReplyStatus(f, status));
    QCOMPARE(status, -254);

    // An exchange waiting for a busy link gives up while the application closes.
    rig.controller.clearLog();
    rig.link.state.linkBusy = 1;
    rig.link.state.appClosing = true;
    Frame g = Frame::request(0x01, 0);
    QCOMPARE(rig.link.frames.FrameTransact(g), 12);
    QVERIFY(rig.controller.wireIn.isEmpty());
    rig.link.state = LinkState{};

    // A closed port or an unplugged converter: "Controller is disconnected".
    rig.controller.setPlugged(false);
    IdentityRecord id;
    QCOMPARE(rig.device().ReadIdentity(id), 12);
    rig.link.serial.ComClose();
    QCOMPARE(rig.device().ReadIdentity(id), 12);
}

void TestFrameProtocol::resultTexts() {
    const struct {
        int code;
        const char* en;
        const char* ru;
    } rows[] = {
        {0, "No errors", "Нет ошибок"},
        {3, "Failed to communicate with the controller", "Ошибка обмена данными с контроллером"},
        {5, "Failed to communicate with the controller", "Ошибка обмена данными с контроллером"},
        {11, "Failed to communicate with the controller", "Ошибка обмена данными с контроллером"},
        {12, "Controller is disconnected", "Контроллер отключен"},
        {13, "Out of the timeout response", "Вышел таймаут ожидания ответа"},
        {-254, "Error in parameters", "Ошибка в параметрах"},
        {-253, "Failed result", "Ошибка результата"},
        {-1, "Unknown error USB: -1", "Неизвестная ошибка USB: -1"},
        {2, "Unknown error USB: 2", "Неизвестная ошибка USB: 2"},
        {14, "Unknown error USB: 14", "Неизвестная ошибка USB: 14"},
    };
    for (const auto& row : rows) {
        QCOMPARE(ResultText(row.code, LangEnglish), QString::fromUtf8(row.en));
        QCOMPARE(ResultText(row.code, LangRussian), QString::fromUtf8(row.ru));
    }
}

void TestFrameProtocol::traceLines() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    std::uint8_t image[2019];

    // Switched off: nothing.
    QCOMPARE(rig.device().DeviceReadBlock(area::Configuration, 0, image, 2019), 0);
    QVERIFY(rig.host.traces.isEmpty());

    rig.link.state.traceEnabled = true;
    IdentityRecord id;
    QCOMPARE(rig.device().ReadIdentity(id), 0);
    QVERIFY(rig.host.traces.isEmpty()); // the monitor's identity poll is never traced

    QCOMPARE(rig.device().DeviceReadBlock(area::Configuration, 0, image, 2019), 0);
    QCOMPARE(rig.host.traces.size(), 64);
    const QRegularExpression request(
        QStringLiteral("^ +\\d+\\.\\d{3} > CMD:10 OFFSET:(\\d{4}) LEN:00$"));
    const QRegularExpression reply(QStringLiteral(
        "^ +\\d+\\.\\d{3} < CMD:90 OFFSET:(\\d{4}) LEN:(\\d\\d) \\[([0-9A-F]*)\\]$"));
    for (int i = 0; i < 32; ++i) {
        const auto q = request.match(rig.host.traces.at(2 * i));
        QVERIFY2(q.hasMatch(), qPrintable(rig.host.traces.at(2 * i)));
        QCOMPARE(q.captured(1).toInt(), 64 * i);
        const auto r = reply.match(rig.host.traces.at(2 * i + 1));
        QVERIFY2(r.hasMatch(), qPrintable(rig.host.traces.at(2 * i + 1)));
        const int len = i < 31 ? 64 : 35;
        QCOMPARE(r.captured(2).toInt(), len);
        QCOMPARE(QByteArray::fromHex(r.captured(3).toLatin1()),
                 QByteArray(reinterpret_cast<const char*>(image + 64 * i), len));
    }
    QVERIFY(rig.host.traces.first().startsWith(QStringLiteral("     0.")));

    // The exact layout, with a payload of 64 bytes far below the line limit.
    Frame f = Frame::request(0x90, 64);
    f.setHeader(0x90, 64, 64);
    for (int i = 0; i < 64; ++i)
        f.payload()[i] = static_cast<std::uint8_t>(i * 4);
    const QString line = TraceLineText(12345, '<', f);
    QVERIFY(line.startsWith(QStringLiteral("    12.345 < CMD:90 OFFSET:0064 LEN:64 [0004080C")));
    QVERIFY(line.endsWith(QStringLiteral("F8FC]")));
    QCOMPARE(line.size(), 38 + 2 + 128 + 1);
    QCOMPARE(TraceLineText(7, '>', Frame::request(0x83, 0)),
             QStringLiteral("     0.007 > CMD:83 OFFSET:0000 LEN:00"));
}

void TestFrameProtocol::anyByteSequenceEndsInAResult() {
    QRandomGenerator rng(20261208);
    test::TestHost host;
    ByteFeed feed;
    FixedPortFinder finder({QStringLiteral("feed")});
    PortState ports;
    LinkState state;
    SerialLink serial(feed, finder, ports);
    FrameProtocol frames(serial, host, state);
    int complete = 0;
    for (int round = 0; round < 4000; ++round) {
        feed.opened = true;
        const int n = static_cast<int>(rng.bounded(200));
        feed.bytes.resize(n);
        for (int i = 0; i < n; ++i) {
            // Plenty of start bytes and small lengths, so that frames do form.
            const quint32 pick = rng.bounded(8);
            feed.bytes[i] = static_cast<char>(pick == 0   ? 0x55
                                              : pick == 1 ? rng.bounded(70)
                                                          : rng.bounded(256));
        }
        feed.chunk = 1 + static_cast<int>(rng.bounded(120));
        Frame reply;
        const int rc = frames.FrameReceive(reply);
        QVERIFY2(rc == 0 || rc == 7 || rc == 12 || rc == 13, qPrintable(QString::number(rc)));
        if (rc == 0) {
            QVERIFY(reply.len() <= 64);
            ++complete;
        }
    }
    QVERIFY(complete > 0);
}

void TestFrameProtocol::huntForTheStartByteEnds() {
    test::TestHost host;
    Chatter chatter;
    FixedPortFinder finder({QStringLiteral("chatter")});
    PortState ports;
    LinkState state;
    SerialLink serial(chatter, finder, ports);
    FrameProtocol frames(serial, host, state);
    Frame reply;
    const std::uint32_t start = TickCount();
    QCOMPARE(frames.FrameReceive(reply), 13);
    const std::uint32_t took = TickCount() - start;
    QVERIFY2(took < 1500, qPrintable(QString::number(took)));
}

void TestFrameProtocol::gapLimitBetweenReplyBytes() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    const struct {
        int pauseMs;
        int rc;
    } rows[] = {{45, 0}, {150, 13}};
    // The reader looks at the gap only when it finds nothing to read: a reader woken late on a
    // busy machine finds the second half already there, so the long pause is well beyond the
    // limit (a pause just under it reads on).
    for (const auto& row : rows) {
        rig.controller.addFault(Fault::PauseMidReply, 0x01, 1, row.pauseMs);
        Frame f = Frame::request(0x01, 0);
        QCOMPARE(rig.link.frames.FrameTransact(f), row.rc);
    }
}

void TestFrameProtocol::lateReplyArrivesInTheNextAttempt() {
    test::SimRig rig;
    QVERIFY(rig.connect());
    for (int i = 0; i < 2019; ++i)
        rig.controller.config[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 5 + 1);
    const auto configAt = [&rig](int offset) {
        return QByteArray(reinterpret_cast<const char*>(rig.controller.config.data()) + offset, 64);
    };
    std::uint8_t buf[64];
    int count = 0;

    // The first attempt gives up; its reply, spoiled, survives the purge and comes first in the
    // second attempt, which refuses it; the third gets its own reply.
    rig.controller.clearLog();
    rig.controller.addFault(Fault::LateReply, 0x10, 1, 150);
    rig.controller.addFault(Fault::BadCheck, 0x10, 1);
    QCOMPARE(rig.device().DeviceRead(area::Configuration, 64, buf, 64, &count), 0);
    QCOMPARE(rig.controller.requests.size(), std::size_t(3));
    QCOMPARE(count, 64);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(buf), 64), configAt(64));

    // A late reply naming another offset is refused, not taken as data; the reply that followed
    // it does not reach the next exchange.
    rig.controller.clearLog();
    rig.controller.addFault(Fault::LateReply, 0x10, 1, 150);
    rig.controller.addFault(Fault::WrongOffset, 0x10, 1);
    QCOMPARE(rig.device().DeviceRead(area::Configuration, 64, buf, 64, &count), 9);
    QCOMPARE(rig.controller.requests.size(), std::size_t(2));
    QCOMPARE(rig.device().DeviceRead(area::Configuration, 128, buf, 64, &count), 0);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(buf), 64), configAt(128));

    // An unspoiled late reply answers the same request in the second attempt.
    rig.controller.clearLog();
    rig.controller.addFault(Fault::LateReply, 0x10, 1, 150);
    QCOMPARE(rig.device().DeviceRead(area::Configuration, 192, buf, 64, &count), 0);
    QCOMPARE(rig.controller.requests.size(), std::size_t(2));
    QCOMPARE(QByteArray(reinterpret_cast<char*>(buf), 64), configAt(192));
}

QTEST_GUILESS_MAIN(TestFrameProtocol)
#include "tst_frameprotocol.moc"
