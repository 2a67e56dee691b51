// What the program takes from the desktop: Qt's own texts in Japanese, its icon, the folder files are saved to.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

#include "qt_app.h"
#include "shell/desktop_integration.h"
#include "ui/dialogs.h"

namespace {

TEST(DesktopIntegration, QtsOwnButtonsAndMenusSpeakJapanese) {
    ASSERT_TRUE(loadQtJapanese(*QCoreApplication::instance())) << "qtbase_ja.qm (qt6-translations-l10n) is missing";
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), "キャンセル");

    // The right-click menu of every text box.
    QLineEdit box;
    const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    ASSERT_FALSE(menu->actions().isEmpty());
    EXPECT_TRUE(menu->actions().first()->text().startsWith("元に戻す"))
        << menu->actions().first()->text().toStdString();
}

TEST(DesktopIntegration, ProgramIconComesInEverySize) {
    const QIcon icon = applicationIcon();
    ASSERT_FALSE(icon.isNull());
    for (const int size : {48, 128, 256}) {
        EXPECT_FALSE(icon.pixmap(size, size).isNull()) << size;
    }
}

TEST(DesktopIntegration, FilesAreOfferedInTheDocumentsFolderOrElseHome) {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    EXPECT_EQ(ui::documentsFolder(), home.path()) << "no Documents folder yet: the home folder";
    ASSERT_TRUE(QDir(home.path()).mkdir("Documents"));
    EXPECT_EQ(ui::documentsFolder(), QDir(home.path()).filePath("Documents"));
    qputenv("HOME", oldHome);
}

}  // namespace
