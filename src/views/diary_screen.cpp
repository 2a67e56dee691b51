#include "views/diary_screen.h"

DiaryScreen::DiaryScreen(ScreenContext context, QWidget* parent) : QObject(parent), m_ctx(context), m_frame(new QWidget(parent)) {
    m_frame->setObjectName("fraMemo");
}

void DiaryScreen::open() {
    if (m_frame->isVisible()) {
        return;
    }
    m_ctx.host.HIDE_FRAMES();
    m_frame->show();
}

void DiaryScreen::setMemo(const QString&) {}
