#include "views/trend_screen.h"

TrendScreen::TrendScreen(ScreenContext context, QWidget* parent) : QObject(parent), m_ctx(context), m_frame(new QWidget(parent)) {
    m_frame->setObjectName("fraRenTai");
}

void TrendScreen::open() {
    if (m_frame->isVisible()) {
        return;
    }
    m_ctx.host.HIDE_FRAMES();
    m_frame->show();
}
