#pragma once

#include <QCoreApplication>
#include <vector>

#include "ui/dialogs.h"
#include "ui/screen_host.h"

/// The main window's services for a screen measured on its own: it hides the frames it is given, the help tour is
/// off, and dialogs are answered without being shown. `paint` false leaves the events (and so the drawing) out.
class BenchHost : public ui::ScreenHost {
public:
    std::vector<QWidget*> frames;
    bool paint = true;

    void HIDE_FRAMES() override {
        for (QWidget* frame : frames) {
            frame->hide();
        }
    }
    void setHelpText(const QString&) override {}
    void DSP_HELP() override {}
    ui::Dialogs& dialogs() override { return m_dialogs; }
    void setSituationLists(const QStringList&) override {}
    void refillEntryAndFilterLists(const QStringList&) override {}
    void appendSituation(const QString&) override {}
    void showMainScreenFor(const QDate&) override {}
    void rebuildMainScreen() override {}
    void setTitle(const QString&) override {}
    void endProgram() override {}
    QStringList situationItems() const override { return {}; }
    void showChangedDiary(bool) override {}
    void processEvents() override {
        if (paint) {
            QCoreApplication::processEvents();
        }
    }

private:
    ui::ScriptedDialogs m_dialogs;
};
