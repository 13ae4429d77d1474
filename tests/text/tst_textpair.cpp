// Choosing the text of a pair by language.
#include "text/TextPair.h"

#include <QtTest>

using namespace korvex;

class TestTextPair : public QObject {
    Q_OBJECT
private slots:
    void choosesByLanguage();
};

void TestTextPair::choosesByLanguage() {
    const TextPair both{"Вопрос", "Question"};
    const TextPair russianOnly{"Язык/Language", ""};
    const TextPair noEnglish{"Только", nullptr};
    QCOMPARE(LangText(both, LangRussian), QStringLiteral("Вопрос"));
    QCOMPARE(LangText(both, LangEnglish), QStringLiteral("Question"));
    QCOMPARE(LangText(russianOnly, LangEnglish), QStringLiteral("Язык/Language"));
    QCOMPARE(LangText(noEnglish, LangEnglish), QStringLiteral("Только"));
    // Any language other than English is Russian.
    QCOMPARE(LangText(both, 7), QStringLiteral("Вопрос"));
    LanguageState state;
    QCOMPARE(LangText(both, state), QStringLiteral("Вопрос")); // Russian until settings load

    const TextPair format{"Выбран: %u из %s", "Selected: %u of %s"};
    QCOMPARE(LangFormat(format, LangEnglish, 3u, "восемь"),
             QStringLiteral("Selected: 3 of восемь"));
    QCOMPARE(LangFormat(format, LangRussian, 3u, "8"), QStringLiteral("Выбран: 3 из 8"));
}

QTEST_GUILESS_MAIN(TestTextPair)
#include "tst_textpair.moc"
