// The parameter page rules that need no window: LIN bus controls, backlight view, long press.
#include "config/ParameterRules.h"

#include <QtTest>

using namespace korvex;

class TestParameterRules : public QObject {
    Q_OBJECT
private slots:
    void linTypesDecideBusControls();
    void backlightFollowsVwAndDiagFlag();
    void longPressText();
};

namespace {

ConfigBytes Lin(int lin1mode, int lin2mode, int speed) {
    ConfigBytes bytes{};
    Set(bytes, param::LIN1MODE, static_cast<std::uint8_t>(lin1mode));
    Set(bytes, param::LIN2MODE, static_cast<std::uint8_t>(lin2mode));
    Set(bytes, param::LINSPEED, static_cast<std::uint8_t>(speed));
    return bytes;
}

// speed enabled, protocol enabled, LIN Prog tab visible, speed forced, LINSPEED afterwards,
// every other byte kept
using Outcome = std::tuple<bool, bool, bool, bool, int, bool>;

Outcome Apply(int lin1mode, int lin2mode, int speed) {
    ConfigBytes bytes = Lin(lin1mode, lin2mode, speed);
    const LinBusRules r = ApplyLinBusRules(bytes);
    const int after = Get(bytes, param::LINSPEED);
    Set(bytes, param::LINSPEED, static_cast<std::uint8_t>(speed));
    return {r.linSpeedEnabled,
            r.protocolVersionEnabled,
            r.linProgTabVisible,
            r.linSpeedForced,
            after,
            bytes == Lin(lin1mode, lin2mode, speed)};
}

} // namespace

void TestParameterRules::linTypesDecideBusControls() {
    // "VW" keeps 19200 and 20000 and forces everything else to 19200; it hides LIN Prog.
    QCOMPARE(Apply(0, 4, 1), Outcome(true, false, false, true, 4, true));
    QCOMPARE(Apply(0, 4, 0), Outcome(true, false, false, true, 4, true));
    QCOMPARE(Apply(0, 4, 5), Outcome(true, false, false, false, 5, true));
    QCOMPARE(Apply(0, 4, 4), Outcome(true, false, false, false, 4, true));
    QCOMPARE(Apply(0, 4, 200), Outcome(true, false, false, true, 4, true));
    // Only "LIN PROG" shows the programmer; other types leave speed and protocol locked.
    QCOMPARE(Apply(0, 16, 1), Outcome(false, false, true, false, 1, true));
    QCOMPARE(Apply(0, 0, 2), Outcome(false, false, false, false, 2, true));
    QCOMPARE(Apply(2, 15, 3), Outcome(false, false, false, false, 3, true));
    QCOMPARE(Apply(0, 17, 3), Outcome(false, false, false, false, 3, true));
    // "Listener" unlocks speed and protocol whatever the master type.
    QCOMPARE(Apply(1, 0, 3), Outcome(true, true, false, false, 3, true));
    QCOMPARE(Apply(1, 16, 0), Outcome(true, true, true, false, 0, true));
    QCOMPARE(Apply(1, 4, 2), Outcome(true, true, false, true, 4, true));
}

void TestParameterRules::backlightFollowsVwAndDiagFlag() {
    ConfigBytes bytes = Lin(0, 4, 4);
    QCOMPARE(BacklightView(bytes).diagVisible, true);
    QCOMPARE(BacklightView(bytes).editsVisible, false);
    Set(bytes, param::LIGHT_DIAG_USE, 2);
    QCOMPARE(BacklightView(bytes).editsVisible, true);
    Set(bytes, param::LIN2MODE, 5);
    QCOMPARE(BacklightView(bytes).diagVisible, false);
    QCOMPARE(BacklightView(bytes).editsVisible, false);
}

void TestParameterRules::longPressText() {
    QCOMPARE(LongPressFromText("70000"), 4464); // 70000 - 65536
    QCOMPARE(LongPressFromText("100"), 1000);
    QCOMPARE(LongPressFromText("6000"), 1000);
    QCOMPARE(LongPressFromText("-5"), 1000);
    QCOMPARE(LongPressFromText("200"), 200);
    QCOMPARE(LongPressFromText("5000"), 5000);
    QCOMPARE(LongPressFromText("199"), 1000);
    QCOMPARE(LongPressFromText("5001"), 1000);
    QCOMPARE(LongPressFromText("  +1500ms"), 1500);
    QCOMPARE(LongPressFromText("-65336"), 200); // wraps into range
    QCOMPARE(LongPressFromText(""), 1000);
    QCOMPARE(LongPressFromText("abc"), 1000);
    QCOMPARE(LongPressFromText("x300"), 1000);
    QCOMPARE(LongPressFromText("1 500"), 1000);
}

QTEST_APPLESS_MAIN(TestParameterRules)
#include "tst_parameterrules.moc"
