#pragma once

#include "mainwindow/mainwindow.h"
#include "platform/usermessage.h"
#include "state/programstate.h"

#include <QAction>
#include <QLabel>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace karte::test {

// The identity calibration a map load starts from: coefficients and all
// eight reference values.
inline void verifyIdentity(const CalibrationRecord& r)
{
    QCOMPARE(r.L0, 0.0);
    QCOMPARE(r.Lx, 1.0f);
    QCOMPARE(r.Ly, 0.0f);
    QCOMPARE(r.B0, 0.0);
    QCOMPARE(r.Bx, 0.0f);
    QCOMPARE(r.By, 1.0f);
    for (float v : {r.cx1, r.cy1, r.cx2, r.cy2})
        QCOMPARE(v, 0.0f);
    for (double v : {r.Lgrd1, r.Bgrd1, r.Lgrd2, r.Bgrd2})
        QCOMPARE(v, 0.0);
}

// Base of the tests that drive a shown main window over its own state, with
// messages recorded instead of shown and files in a temporary folder.
class MainWindowTest : public QObject {
protected:
    // From init(): a fresh folder, state and window of the given size.
    void openWindow(int width, int height)
    {
        _dir = std::make_unique<QTemporaryDir>();
        QVERIFY(_dir->isValid());
        _messages.clear();
        setUserMessageSinkForTests([this](const QString& text) { _messages << text; });
        _state = std::make_unique<ProgramState>();
        _window = std::make_unique<MainWindow>(*_state);
        _window->resize(width, height);
        _window->show();
        QVERIFY(QTest::qWaitForWindowExposed(_window.get()));
    }

    // From cleanup().
    void closeWindow()
    {
        _window.reset();
        _state.reset();
        setUserMessageSinkForTests({});
        _dir.reset();
    }

    QLabel* label(const char* name) const
    {
        auto* l = _window->findChild<QLabel*>(QString::fromLatin1(name));
        Q_ASSERT(l);
        return l;
    }

    // "Karte Laden" with the dialog answering `path` (empty: cancelled).
    void laden(const QString& path)
    {
        _window->commonDialog1().setChooserForTests([path](const QString& filter, const QString&) {
            // Only bitmaps are offered.
            return filter.contains(QStringLiteral("*.bmp")) ? path : QString();
        });
        _window->findChild<QAction*>(QStringLiteral("Laden"))->trigger();
    }

    void abspeichern() { _window->findChild<QAction*>(QStringLiteral("abspeichern"))->trigger(); }

    QString tempPath(const QString& name) const { return _dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> _dir;
    std::unique_ptr<ProgramState> _state;
    std::unique_ptr<MainWindow> _window;
    QStringList _messages;
};

} // namespace karte::test
