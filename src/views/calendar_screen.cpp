#include "views/calendar_screen.h"

CalendarScreen::CalendarScreen(ScreenContext context, QWidget* parent) : QObject(parent), m_ctx(context), m_frame(new QWidget(parent)) {
    m_frame->setObjectName("fraCale");
}

void CalendarScreen::open() {
    if (m_frame->isVisible()) {
        return;
    }
    m_ctx.host.HIDE_FRAMES();
    m_frame->show();
}
