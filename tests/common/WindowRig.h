// The main window on the virtual controller, for tests that drive it as a user would.
#pragma once

#include "app/FileDialogs.h"
#include "app/MainWindow.h"
#include "app/WindowHost.h"
#include "common/TestFiles.h"
#include "sim/VirtualController.h"
#include "sim/VirtualTransport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>

#include <memory>

namespace korvex::test {

struct WindowRig {
    explicit WindowRig(const QByteArray& settings = "[MainSettings]\r\nLang=1\r\n") {
        // Tests drive Qt's own file dialog, on every system.
        UseQtFileDialogs();
        controller.config = sim::FactoryConfiguration();
        settingsPath = dir.filePath("korvex-setup.ini");
        if (!settings.isEmpty())
            WriteAll(settingsPath, settings);
        window = std::make_unique<MainWindow>(transport, finder, settingsPath, "test");
        window->host().answerBox = [this](unsigned flags, const QString& text) {
            boxes << text;
            boxFlags << flags;
            return answers.isEmpty() ? mb::IdNo : answers.takeFirst();
        };
    }
    template <typename T> T* find(const char* name) const {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QString status() const { return find<QLabel>("StatusBarPanelx")->text(); }
    QString log() const { return find<QTextEdit>("RichEditRX")->toPlainText(); }
    // The notice whole, as screen readers get it: the panel may show it cut short.
    QString panel() const { return find<QLabel>("PanelMenu")->accessibleName(); }
    bool enabled(const char* button) const { return find<QToolButton>(button)->isEnabled(); }
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i)
            window->TimerLUMAPADSCREENTestTimer();
    }
    int readFrames() const {
        int n = 0;
        for (const auto& r : controller.requests)
            n += r.cmd == area::Configuration;
        return n;
    }
    // The user picks an item of a combo box.
    static void choose(QComboBox* box, int index) {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    TemporaryDataHome dataHome;
    QTemporaryDir dir;
    QString settingsPath;
    sim::VirtualController controller;
    sim::VirtualTransport transport{controller};
    sim::VirtualPortFinder finder{controller};
    std::unique_ptr<MainWindow> window;
    QStringList boxes;
    QList<unsigned> boxFlags;
    QList<int> answers;
};

// Every visible text of the window's controls, by object name, to compare two moments.
inline QMap<QString, QString> Texts(QWidget* window) {
    QMap<QString, QString> texts;
    for (QObject* o : window->findChildren<QObject*>()) {
        const QString name = o->objectName();
        if (name.isEmpty())
            continue;
        if (auto* l = qobject_cast<QLabel*>(o))
            texts[name] = l->text() + "|" + l->toolTip();
        else if (auto* g = qobject_cast<QGroupBox*>(o))
            texts[name] = g->title();
        else if (auto* b = qobject_cast<QAbstractButton*>(o))
            texts[name] = b->text() + "|" + b->toolTip();
        else if (auto* c = qobject_cast<QComboBox*>(o)) {
            QStringList items;
            for (int i = 0; i < c->count(); ++i)
                items << c->itemText(i);
            texts[name] = items.join(',') + "|" + QString::number(c->currentIndex());
        } else if (auto* t = qobject_cast<QTabWidget*>(o)) {
            QStringList tabs;
            for (int i = 0; i < t->count(); ++i)
                tabs << t->tabText(i);
            texts[name] = tabs.join(',') + "|" + QString::number(t->currentIndex());
        } else if (auto* a = qobject_cast<QAction*>(o))
            texts[name] = a->text() + "|" + QString::number(a->isChecked());
    }
    return texts;
}

} // namespace korvex::test
