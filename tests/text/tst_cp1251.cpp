// Tab names in code page 1251: every byte there and back, and what the code page cannot hold.
#include "text/Cp1251.h"

#include <QtTest>

using namespace korvex;

class TestCp1251 : public QObject {
    Q_OBJECT
private slots:
    void cp1251BothWays();
};

void TestCp1251::cp1251BothWays() {
    for (int b = 1; b < 256; ++b) {
        const QByteArray one(1, char(b));
        const QString text = DecodeCp1251(one);
        QCOMPARE(text.size(), 1);
        QCOMPARE(EncodeCp1251(text), std::optional<QByteArray>(one));
    }
    QCOMPARE(DecodeCp1251("\xD2\xF3\xEC\xE0\xED"), QStringLiteral("Туман"));
    QCOMPARE(EncodeCp1251(QStringLiteral("Ёж №5 €")),
             std::optional<QByteArray>("\xA8\xE6 \xB9\x35 \x88"));
    for (const QString& outside :
         {QStringLiteral("\u2713"), QStringLiteral("日本"), QStringLiteral("Ä"), QString(QChar(0))})
        QVERIFY2(!EncodeCp1251(QStringLiteral("ab") + outside), qPrintable(outside));
}

QTEST_APPLESS_MAIN(TestCp1251)
#include "tst_cp1251.moc"
