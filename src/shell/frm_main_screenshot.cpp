#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>

#include "main/main_screen.h"
#include "settings/settings_screen.h"
#include "shell/frm_main.h"

namespace {

bool grabInto(QWidget& window, const QString& path) {
    QApplication::processEvents();
    return window.grab().save(path, "PNG");
}

}  // namespace

bool frmMain::writeScreenshots(const QString& outDir) {
    if (!QDir().mkpath(outDir)) {
        return false;
    }
    struct Shot {
        QPushButton* button;
        const char* frame;
    };
    // The main screen first, as the load step left it; then every screen through its own button.
    const Shot shots[] = {{cmdMain, "fraMain"},       {cmdTaijyu, "fraTaijyu"}, {cmdAvgtai, "fraAvgTai"},
                          {cmdBunseki, "fraBunseki"}, {cmdCale, "fraCale"},     {cmdRentai, "fraRenTai"},
                          {cmdMemo, "fraMemo"},       {cmdSettei, "fraSettei"}};
    bool ok = true;
    for (const Shot& shot : shots) {
        shot.button->click();
        ok = grabInto(*this, QDir(outDir).filePath(QString::fromLatin1(shot.frame) + ".png")) && ok;
    }
    // The new-start form over the settings screen.
    built(m_settings).showNewStartForm();
    ok = grabInto(*this, QDir(outDir).filePath("fraNew.png")) && ok;
    if (auto* cancel = findChild<QPushButton*>("cmdYame")) {
        cancel->click();
    }

    // The main screen's trend chart lies under the judgement chart: show it too.
    cmdMain->click();
    if (auto* toTrend = findChild<QPushButton*>("cmdSuiiGr")) {
        toTrend->click();
        ok = grabInto(*this, QDir(outDir).filePath("mcrMain.png")) && ok;
        if (auto* back = findChild<QPushButton*>("cmdHanteiGr")) {
            back->click();
        }
    }
    return ok;
}
