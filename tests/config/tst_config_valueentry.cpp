// Number entry into image fields and the conversion between volts and voltage codes.
#include "config/ValueEntry.h"

#include <QtTest>

#include <limits>

using namespace korvex;

class TestConfigValueEntry : public QObject {
    Q_OBJECT
private slots:
    void textsThatAreNotDigitsAreRefused();
    void boundsAreInclusive();
    void digitsBeyondThirtyTwoBitsAreRefused();
    void widthsStoreAndShowTheirPart();
    void voltsAndCodes();
};

namespace {

constexpr int Offset = 46; // odd offset, inside entry 1
constexpr std::int32_t Int32Max = std::numeric_limits<std::int32_t>::max();

// result, verdict, message, text of the edit box afterwards, draw back, the field afterwards
using Outcome = std::tuple<int, NumberVerdict, QString, QString, bool, QString>;

// Enter on `text` in an edit whose field holds 77.
Outcome Enter(const QString& text, std::int32_t low, std::int32_t high, int width = 2,
              int language = LangRussian) {
    ConfigBytes bytes{};
    StoreNumber(bytes, Offset, width, 77);
    const EditNumberResult r = EditNumber(text, low, high, bytes, Offset, width, language);
    return {r.result,   r.verdict,  r.message,
            r.editText, r.drawBack, ShowNumber(bytes, Offset, width)};
}

Outcome Stored(const QString& text, const QString& field) {
    return {0, NumberVerdict::Accepted, QString(), text, false, field};
}

} // namespace

void TestConfigValueEntry::textsThatAreNotDigitsAreRefused() {
    const QString message = QStringLiteral("Введите значение в указанную позицию");
    for (const QString& text :
         {QStringLiteral("-5"), QStringLiteral("+5"), QStringLiteral(" 5"), QStringLiteral("5 "),
          QStringLiteral("5.0"), QString(), QStringLiteral("abc"), QStringLiteral("\u0665")}) {
        QCOMPARE(Enter(text, 0, 30000),
                 Outcome(1, NumberVerdict::Empty, message, "77", true, "77"));
    }
    QCOMPARE(std::get<2>(Enter("x", 0, 1, 1, LangEnglish)),
             QStringLiteral("Enter a value in the specified position"));
}

void TestConfigValueEntry::boundsAreInclusive() {
    QCOMPARE(Enter("30001", 0, 30000),
             Outcome(1, NumberVerdict::OutOfRange,
                     "Значение должно находится в интервале от 0 до 30000", "77", true, "77"));
    QCOMPARE(std::get<2>(Enter("199", 200, 5000, 2, LangEnglish)),
             QStringLiteral("The value must be in the range from 200 to 5000"));
    QCOMPARE(std::get<0>(Enter("5001", 200, 5000)), 1);
    QCOMPARE(Enter("30000", 0, 30000), Stored("30000", "30000"));
    QCOMPARE(Enter("0", 0, 30000), Stored("0", "0"));
    QCOMPARE(Enter("200", 200, 5000), Stored("200", "200"));
    // Leading zeros count for nothing, however many.
    QCOMPARE(Enter("007", 0, 100, 1), Stored("007", "7"));
    QCOMPARE(Enter("0000000000000000000042", 0, 100, 1), Stored("0000000000000000000042", "42"));
    // Bounds read from the image can cross (a minimum above the maximum): nothing fits then.
    QCOMPARE(std::get<1>(Enter("50", 60, 40)), NumberVerdict::OutOfRange);
}

void TestConfigValueEntry::digitsBeyondThirtyTwoBitsAreRefused() {
    // The typed text stays in the box, so the user sees what was refused.
    for (const QString& text : {QStringLiteral("2147483648"), QStringLiteral("4294967296"),
                                QStringLiteral("99999999999999999999999")}) {
        QCOMPARE(Enter(text, 0, Int32Max, 4),
                 Outcome(1, NumberVerdict::NotInteger,
                         QStringLiteral("'%1' is not a valid integer value").arg(text), text, false,
                         "77"));
    }
    QCOMPARE(Enter("2147483647", 0, Int32Max, 4), Stored("2147483647", "2147483647"));
}

void TestConfigValueEntry::widthsStoreAndShowTheirPart() {
    ConfigBytes bytes;
    bytes.fill(0xCC);
    const auto hex = [&] {
        QByteArray raw;
        for (int i = Offset - 1; i < Offset + 5; ++i)
            raw.append(static_cast<char>(bytes[static_cast<std::size_t>(i)]));
        return raw.toHex();
    };
    StoreNumber(bytes, Offset, 1, 300); // the low byte only
    QCOMPARE(hex(), QByteArray("cc2ccccccccc"));
    StoreNumber(bytes, Offset, 2, 70000); // the low 16 bits only
    QCOMPARE(hex(), QByteArray("cc7011cccccc"));
    StoreNumber(bytes, Offset, 4, 1000000000);
    QCOMPARE(hex(), QByteArray("cc00ca9a3bcc"));

    // 1 and 2 bytes show unsigned, 4 bytes signed.
    bytes.fill(0xFF);
    QCOMPARE(ShowNumber(bytes, Offset, 1), QStringLiteral("255"));
    QCOMPARE(ShowNumber(bytes, Offset, 2), QStringLiteral("65535"));
    QCOMPARE(ShowNumber(bytes, Offset, 4), QStringLiteral("-1"));

    // A field that does not fit the image is neither read nor written.
    StoreNumber(bytes, ConfigImageSize - 1, 2, 5);
    StoreNumber(bytes, Offset, 3, 5);
    QVERIFY(std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0xFF; }));
    QVERIFY(ShowNumber(bytes, ConfigImageSize - 3, 4).isEmpty());
    QCOMPARE(ShowNumber(bytes, ConfigImageSize - 4, 4), QStringLiteral("-1"));
}

void TestConfigValueEntry::voltsAndCodes() {
    // clang-format off
    const std::pair<QString, int> cases[] = {
        {"2,5", 250}, {"2.5", 250}, {"2.504", 250}, {"2.506", 251}, {"7", 500}, {"abc", 0},
        {"-1", 0}, {"", 0}, {"5.004", 500}, {"0.006", 1}, {"-0.004", 0}, {"  3.3 V", 330},
        {"+1.234", 123}, {".5", 50}, {"4.", 400}, {"2.5e-1", 25}, {"1e", 100}, {"1,5,5", 150},
        {"1e400", 500}, {"-1e400", 0}, {"1e-400", 0}, {"inf", 0}, {"nan", 0}, {"0x10", 0},
        {"1" + QString(40, u'0'), 500}};
    // clang-format on
    for (const auto& [text, code] : cases)
        QVERIFY2(VoltsToCode(text) == code, qPrintable(text));

    const std::pair<std::uint16_t, QString> shown[] = {
        {0, "0.00"}, {1, "0.01"}, {123, "1.23"}, {500, "5.00"}, {600, "5.00"}, {65535, "5.00"}};
    for (const auto& [code, text] : shown)
        QCOMPARE(CodeToVolts(code), text);
    // The shown text reads back as the same code for every code.
    for (std::uint16_t code = 0; code <= VoltageCodeMax; ++code)
        QCOMPARE(VoltsToCode(CodeToVolts(code)), code);
}

QTEST_GUILESS_MAIN(TestConfigValueEntry)
#include "tst_config_valueentry.moc"
