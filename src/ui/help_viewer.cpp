#include "ui/help_viewer.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace ui {

HelpViewer::HelpViewer(QWidget* owner) : QObject(owner), m_owner(owner) {}

HelpViewer::~HelpViewer() {
    delete m_window.data();
}

void HelpViewer::open(const QString& startPage) {
    if (!m_window) {
        // A top-level window that the owner deletes with itself, never modal.
        m_window = new QWidget(m_owner, Qt::Window);
        m_window->setObjectName(QStringLiteral("frmHelp"));
        m_window->setWindowTitle(QStringLiteral("ソラノート＋ ヘルプ"));
        m_window->setWindowModality(Qt::NonModal);
        m_window->resize(760, 600);

        auto* back = new QPushButton(QStringLiteral("戻る"), m_window);
        back->setObjectName(QStringLiteral("cmdHelpBack"));
        auto* forward = new QPushButton(QStringLiteral("進む"), m_window);
        forward->setObjectName(QStringLiteral("cmdHelpForward"));
        auto* home = new QPushButton(QStringLiteral("ホーム"), m_window);
        home->setObjectName(QStringLiteral("cmdHelpHome"));
        m_browser = new QTextBrowser(m_window);
        m_browser->setObjectName(QStringLiteral("helpBrowser"));
        m_browser->setOpenLinks(true);
        m_browser->setOpenExternalLinks(false);

        auto* buttons = new QHBoxLayout;
        buttons->addWidget(back);
        buttons->addWidget(forward);
        buttons->addWidget(home);
        buttons->addStretch(1);
        auto* layout = new QVBoxLayout(m_window);
        layout->addLayout(buttons);
        layout->addWidget(m_browser, 1);

        back->setEnabled(false);
        forward->setEnabled(false);
        connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
        connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
        connect(home, &QPushButton::clicked, m_browser, &QTextBrowser::home);
        connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
        connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    }

    const QFileInfo page(startPage);
    if (page.isFile()) {
        m_browser->setSearchPaths({page.absolutePath()});
        m_browser->setSource(QUrl::fromLocalFile(page.absoluteFilePath()));
    } else {
        m_browser->setHtml(QStringLiteral("<p>ヘルプファイルが見つかりません: %1</p>").arg(startPage.toHtmlEscaped()));
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void HelpViewer::closeAll() {
    if (m_window) {
        m_window->close();
    }
}

bool HelpViewer::isOpen() const {
    return m_window && m_window->isVisible();
}

QWidget* HelpViewer::window() const {
    return m_window;
}

}  // namespace ui
