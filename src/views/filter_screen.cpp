#include "views/filter_screen.h"

FilterScreen::FilterScreen(ScreenContext context, QWidget* parent) : QObject(parent), m_ctx(context), m_frame(new QWidget(parent)) {
    m_frame->setObjectName("fraTaijyu");
}

void FilterScreen::open() {
    if (m_frame->isVisible()) {
        return;
    }
    m_ctx.host.HIDE_FRAMES();
    m_frame->show();
}

void FilterScreen::setSituations(const QStringList& items) { m_situations = items; }
void FilterScreen::appendSituation(const QString& item) { m_situations.append(item); }
QStringList FilterScreen::situations() const { return m_situations; }
