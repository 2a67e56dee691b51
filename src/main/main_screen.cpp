#include "main/main_screen.h"

MainScreen::MainScreen(ScreenContext context, QWidget* parent) : QObject(parent), m_ctx(context), m_frame(new QWidget(parent)) {
    m_frame->setObjectName("fraMain");
}

void MainScreen::open() {
    if (m_frame->isVisible()) {
        return;
    }
    m_ctx.host.HIDE_FRAMES();
    m_frame->show();
}

void MainScreen::setSituations(const QStringList& items) { m_situations = items; }
void MainScreen::appendSituation(const QString& item) { m_situations.append(item); }
QStringList MainScreen::situations() const { return m_situations; }

void MainScreen::DSP_MAIN() {}
void MainScreen::setSelectedDate(const QDate& date) { m_ctx.state.selectedDate = date.toString("yyyy/MM/dd").toStdString(); }
void MainScreen::disableSteppers() {}
void MainScreen::selectSeriesMode(int) {}
void MainScreen::applyMarkerMode() {}
