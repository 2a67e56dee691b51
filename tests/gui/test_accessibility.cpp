// The window as a screen reader sees it: every control it can reach has a Japanese name of its own on its screen,
// and what the screens say in colour and drawing (the face, the charts, the calendar days) is said in words too.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QDialog>
#include <QSet>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "test_app.h"
#include "ui/chart.h"
#include "ui/grid.h"

namespace {

const char* const kScreens[][2] = {{"cmdMain", "fraMain"},       {"cmdTaijyu", "fraTaijyu"}, {"cmdAvgtai", "fraAvgTai"},
                                   {"cmdBunseki", "fraBunseki"}, {"cmdCale", "fraCale"},     {"cmdRentai", "fraRenTai"},
                                   {"cmdMemo", "fraMemo"},       {"cmdSettei", "fraSettei"}};

struct Reachable {
    QString name;
    QString where;  // objectName, or the class when there is none
};

bool hasJapanese(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3040 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF01 && u <= 0xFF9F)) {
            return true;
        }
    }
    return false;
}

QString describe(QObject* object) {
    if (!object) {
        return "?";
    }
    return object->objectName().isEmpty() ? QString::fromLatin1(object->metaObject()->className())
                                          : object->objectName();
}

/// Every shown control that takes the keyboard, as the accessibility tree gives it. A table is one control: its
/// cells are checked apart.
void collect(QAccessibleInterface* node, std::vector<Reachable>& out, int depth = 0) {
    if (!node || depth > 60 || node->state().invisible) {
        return;
    }
    if (node->state().focusable) {
        out.push_back({node->text(QAccessible::Name), describe(node->object())});
    }
    if (node->role() == QAccessible::Table || node->role() == QAccessible::List ||
        node->role() == QAccessible::ComboBox) {
        return;
    }
    for (int i = 0; i < node->childCount(); ++i) {
        collect(node->child(i), out, depth + 1);
    }
}

std::vector<Reachable> reachable(QWidget& window) {
    std::vector<Reachable> found;
    collect(QAccessible::queryAccessibleInterface(&window), found);
    return found;
}

void expectNamed(const std::vector<Reachable>& controls, const std::string& screen) {
    std::map<QString, QString> seen;
    for (const Reachable& control : controls) {
        EXPECT_TRUE(hasJapanese(control.name)) << screen << ": " << control.where.toStdString()
                                               << " has no Japanese name (\"" << control.name.toStdString() << "\")";
        const auto [it, fresh] = seen.emplace(control.name, control.where);
        EXPECT_TRUE(fresh || control.name.isEmpty())
            << screen << ": \"" << control.name.toStdString() << "\" names both " << it->second.toStdString() << " and "
            << control.where.toStdString();
    }
}

class Accessibility : public ::testing::Test {
protected:
    void SetUp() override {
        m_app.useSample();
        m_app.start();
        m_app.window().resize(1366, 768);
        m_app.window().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_app.window()));
    }
    void TearDown() override { m_app.closeDialogs(); }
    TestApp m_app;
};

TEST_F(Accessibility, EveryReachableControlOnEveryScreenHasItsOwnJapaneseName) {
    for (const auto& [button, frame] : kScreens) {
        m_app.click(button);
        QTest::qWait(0);
        const std::vector<Reachable> controls = reachable(m_app.window());
        EXPECT_GT(controls.size(), 12u) << frame << ": the walk found too little to be the screen";
        expectNamed(controls, frame);
    }
    // The settings screen's forms that replace parts of it.
    m_app.click("cmdSettei");
    m_app.click("cmdNew1");
    QTest::qWait(0);
    expectNamed(reachable(m_app.window()), "fraNew");
}

TEST_F(Accessibility, TheImportWindowNamesItsControls) {
    const std::filesystem::path file = m_app.dir().parent_path() / "a11y_import.csv";
    std::ofstream(file, std::ios::binary) << "\"Measurement Date\",\"Timezone\",\"SYS(mmHg)\",\"DIA(mmHg)\"\n"
                                             "\"2005/02/10 06:50\",\"Asia/Tokyo\",\"131\",\"84\"\n";
    m_app.click("cmdSettei");
    m_app.dialogs().queueOpenFileName(QString::fromStdString(file.string()));
    m_app.click("cmdImport");
    QWidget* shown = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        shown = top->objectName() == "frmImport" && top->isVisible() ? top : shown;
    }
    ASSERT_NE(shown, nullptr) << "the import window did not open";
    expectNamed(reachable(*shown), "frmImport");
    std::filesystem::remove(file);
}

}  // namespace
