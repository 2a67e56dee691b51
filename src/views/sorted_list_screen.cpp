#include "views/sorted_list_screen.h"

SortedListScreen::SortedListScreen(ScreenContext context, QWidget* parent) : QObject(parent), m_ctx(context), m_frame(new QWidget(parent)) {
    m_frame->setObjectName("fraBunseki");
}

void SortedListScreen::open() {
    if (m_frame->isVisible()) {
        return;
    }
    m_ctx.host.HIDE_FRAMES();
    m_frame->show();
}
