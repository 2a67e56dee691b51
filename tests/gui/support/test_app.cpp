#include "test_app.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialog>
#include <QListWidget>
#include <fstream>
#include <sstream>

#include "core/files/text_codec.h"

namespace fs = std::filesystem;

QApplication& ensureApplication() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return *existing;
    }
    static int argc = 1;
    static char name[] = "soranote-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

TestApp::TestApp() : m_clock(sora::DateTime{{2005, 3, 1}, 10, 15, 0}) {
    ensureApplication();
    EXPECT_TRUE(m_tempDir.isValid());
}

TestApp::~TestApp() = default;

fs::path TestApp::dir() const {
    return fs::path(m_tempDir.path().toStdString());
}

void TestApp::useSample() {
    const fs::path sample = fs::path(SORANOTE_SOURCE_DIR) / "data" / "sample";
    for (const auto& entry : fs::directory_iterator(sample)) {
        fs::copy_file(entry.path(), dir() / entry.path().filename(), fs::copy_options::overwrite_existing);
    }
}

void TestApp::writeFile(const std::string& name, const std::string& utf8Lines) {
    std::string crlf;
    for (char c : utf8Lines) {
        if (c == '\n') {
            crlf += "\r\n";
        } else {
            crlf += c;
        }
    }
    const auto bytes = sora::utf8_to_cp932(crlf);
    ASSERT_TRUE(bytes.has_value()) << "not CP932: " << name;
    std::ofstream out(dir() / fs::u8path(name), std::ios::binary | std::ios::trunc);
    out << *bytes;
}

std::string TestApp::readBytes(const std::string& name) const {
    std::ifstream in(dir() / fs::u8path(name), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string TestApp::readFile(const std::string& name) const {
    return sora::cp932_to_utf8(readBytes(name)).value_or("<not CP932>");
}

bool TestApp::exists(const std::string& name) const {
    return fs::exists(dir() / fs::u8path(name));
}

frmMain& TestApp::start() {
    m_window = std::make_unique<frmMain>(dir(), m_dialogs, m_clock);
    m_window->load(false);
    return *m_window;
}

bool TestApp::showActive() {
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    return QTest::qWaitForWindowActive(m_window.get());
}

void TestApp::closeDialogs() {
    for (QDialog* dialog : m_window->findChildren<QDialog*>()) {
        dialog->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

frmMain& TestApp::restart() {
    m_window.reset();
    return start();
}

void TestApp::click(const char* name) {
    if (auto* button = find<QAbstractButton>(name)) {
        button->click();
    }
}

QStringList TestApp::listItems(const char* name) const {
    QStringList items;
    if (auto* list = find<QListWidget>(name)) {
        for (int i = 0; i < list->count(); ++i) {
            items.append(list->item(i)->text());
        }
    }
    return items;
}

std::vector<QString> TestApp::dialogTitles() const {
    std::vector<QString> titles;
    for (const auto& record : m_dialogs.records()) {
        titles.push_back(record.title);
    }
    return titles;
}
