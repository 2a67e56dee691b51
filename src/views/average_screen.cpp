#include "views/average_screen.h"

AverageScreen::AverageScreen(ScreenContext context, QWidget* parent) : QObject(parent), m_ctx(context), m_frame(new QWidget(parent)) {
    m_frame->setObjectName("fraAvgTai");
}

void AverageScreen::open() {
    if (m_frame->isVisible()) {
        return;
    }
    m_ctx.host.HIDE_FRAMES();
    m_frame->show();
}
