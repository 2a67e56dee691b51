#include "settings/settings_screen.h"

SettingsScreen::SettingsScreen(ScreenContext context, QWidget* parent) : QObject(parent), m_ctx(context), m_frame(new QWidget(parent)) {
    m_frame->setObjectName("fraSettei");
}

void SettingsScreen::open() {
    if (m_frame->isVisible()) {
        return;
    }
    m_ctx.host.HIDE_FRAMES();
    m_frame->show();
}

void SettingsScreen::setSituations(const QStringList& items) { m_situations = items; }
void SettingsScreen::appendSituation(const QString& item) { m_situations.append(item); }
QStringList SettingsScreen::situations() const { return m_situations; }

void SettingsScreen::setAutoTimeChecked(bool) {}
void SettingsScreen::showGraphSettings() {}
