// The main window shown on the virtual controller, ticked by the test alone, with what the editor
// tests reach for: the tab strips, the written requests, modal windows and popup menus.
#pragma once

#include "common/WindowRig.h"
#include "config/ConfigImage.h"
#include "link/DeviceAccess.h"

#include <QApplication>
#include <QMenu>
#include <QTabBar>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <vector>

namespace korvex::test {

inline constexpr std::uint8_t WriteConfiguration = 0x80 | area::Configuration;

// Types text as key events, one character each, any script.
inline void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), {});
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), {});
    }
}

struct EditorRig : WindowRig {
    EditorRig() {
        // The test ticks the monitor itself: a tick of the real timer, which comes when a slow
        // machine lets 200 ms pass, would connect and read the controller over the test's image.
        window->host().onMonitorTick = nullptr;
        window->resize(720, 513);
        window->show();
        QApplication::processEvents();
    }
    QTabBar* strip() const { return find<QTabBar>("TabControlEVENTREACTIONx"); }
    QTabWidget* eventPages() const { return find<QTabWidget>("PageControlEvent"); }
    QTabWidget* reactionPages() const { return find<QTabWidget>("PageControlReaction"); }
    ConfigBytes& bytes() const { return window->core().image.bytes; }
    void clickTab(QTabBar* bar, int index, Qt::MouseButton button = Qt::LeftButton) const {
        QTest::mouseClick(bar, button, {}, bar->tabRect(index).center());
    }
    std::vector<sim::LoggedRequest> writes() const {
        std::vector<sim::LoggedRequest> out;
        for (const auto& r : controller.requests)
            if (r.cmd == WriteConfiguration)
                out.push_back(r);
        return out;
    }
    // Runs `step` on the first modal window that opens, from the event loop; the window's own
    // timer, so a step that never ran ends with this test.
    void whenModal(std::function<void(QWidget*)> step) const {
        auto* timer = new QTimer(window.get());
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, step] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                timer->stop();
                timer->deleteLater();
                step(modal);
            }
        });
        timer->start();
    }
    // The visible action of a popup menu with the given text.
    static QAction* item(QMenu* menu, const QString& text) {
        for (QAction* action : menu->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }
};

} // namespace korvex::test
