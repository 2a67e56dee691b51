#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "shell/frm_main.h"
#include "ui/dialogs.h"

/// Makes sure a QApplication exists (offscreen in CTest) for widget tests.
QApplication& ensureApplication();

/// A main window over a temporary data directory, with scripted dialogs and a fixed clock.
/// Typical use: TestApp app; app.useSample(); app.start(); app.click("cmdCale");
class TestApp {
public:
    /// The clock stands at 2005/03/01 10:15:00 unless set otherwise.
    TestApp();
    ~TestApp();

    std::filesystem::path dir() const;
    /// Copies the installed sample diary into the data directory.
    void useSample();
    /// Writes a data file from UTF-8 text: CP932, every "\n" written as CR LF.
    void writeFile(const std::string& name, const std::string& utf8Lines);
    /// Reads a data file back as UTF-8 (CR LF kept); empty when missing.
    std::string readFile(const std::string& name) const;
    /// The raw bytes of a data file.
    std::string readBytes(const std::string& name) const;
    bool exists(const std::string& name) const;

    /// Builds and loads the main window (never shown).
    frmMain& start();
    /// Closes the window and builds a new one on the same data directory (the "next start").
    frmMain& restart();
    /// Shows the window and makes it the active one, as the user has it when typing; false when that failed.
    bool showActive();
    /// Closes every dialog of the window and lets the closed ones go, as the event loop would.
    void closeDialogs();
    frmMain& window() { return *m_window; }

    ui::ScriptedDialogs& dialogs() { return m_dialogs; }
    sora::FixedClock& clock() { return m_clock; }

    template <typename T>
    T* find(const char* name) const {
        T* widget = m_window->findChild<T*>(QString::fromLatin1(name));
        if (!widget) {
            // A screen is built when first opened; a test may reach for its controls before that.
            m_window->buildAllScreens();
            widget = m_window->findChild<T*>(QString::fromLatin1(name));
        }
        if (!widget) {
            ADD_FAILURE() << "no control named " << name;
        }
        return widget;
    }
    /// A screen of the window, built if it was not opened yet.
    template <typename Screen>
    Screen* screen() const {
        m_window->buildAllScreens();
        Screen* found = m_window->findChild<Screen*>();
        if (!found) {
            ADD_FAILURE() << "no such screen";
        }
        return found;
    }
    /// Clicks a button (QAbstractButton) by objectName.
    void click(const char* name);

    /// The texts of the list box `name`, in order.
    QStringList listItems(const char* name) const;
    /// The titles of every dialog shown so far, in order.
    std::vector<QString> dialogTitles() const;

private:
    QTemporaryDir m_tempDir;
    ui::ScriptedDialogs m_dialogs;
    sora::FixedClock m_clock;
    std::unique_ptr<frmMain> m_window;
};
