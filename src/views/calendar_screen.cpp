#include "views/calendar_screen.h"

#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "common/render.h"
#include "core/files/measurement_log.h"
#include "core/rules/classification.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/twips.h"
#include "views/calendar_screen_faces.h"

namespace {

constexpr int FaceSize = 96;

QLabel* namedLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

void setButtonColour(QPushButton* button, const QColor& colour) {
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colour);
    button->setPalette(palette);
}

QLabel* faceLabel(QWidget* parent, const char* name, sora::CalendarFace face) {
    QLabel* label = namedLabel(parent, name);
    label->setPixmap(calendarFacePixmap(face, FaceSize));
    label->setFixedSize(FaceSize, FaceSize);
    label->hide();
    return label;
}

}  // namespace

CalendarScreen::CalendarScreen(ScreenContext context, QWidget* parent)
    : QObject(parent), m_ctx(context), m_frame(new QWidget(parent)) {
    m_frame->setObjectName("fraCale");
    buildFrame();
}

void CalendarScreen::buildFrame() {
    msgList2 = new ui::Grid(m_frame);
    msgList2->setObjectName("msgList2");
    msgList2->setAccessibleName("血圧判定カレンダー");
    msgList2->setAccessibleDescription("各日の初回の測定の判定。色の付いた日は判定と回数を読み上げます");
    renderGridHead(*msgList2, sora::calendar_columns());
    msgList2->setMinimumWidth(ui::twipsToPixels(1310 + 31 * 310 + 400, msgList2));
    connect(msgList2, &ui::Grid::cellDoubleClicked, this, &CalendarScreen::msgList2_DblClick);

    auto* layout = new QHBoxLayout(m_frame);
    layout->addWidget(msgList2, 1);
    layout->addWidget(buildCountPanel());
    setMode(sora::CalendarMode::Detailed);
}

QWidget* CalendarScreen::buildCountPanel() {
    auto* panel = new QWidget(m_frame);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(4, 0, 0, 0);

    const char* selNames[] = {"cmdSel10", "cmdSel11"};
    const char* selCaptions[] = {"詳細表示", "簡易表示"};
    for (int i = 0; i < 2; ++i) {
        cmdSel1[static_cast<std::size_t>(i)] = new QPushButton(selCaptions[i], panel);
        cmdSel1[static_cast<std::size_t>(i)]->setObjectName(selNames[i]);
        cmdSel1[static_cast<std::size_t>(i)]->setMinimumHeight(30);
        connect(cmdSel1[static_cast<std::size_t>(i)], &QPushButton::clicked, this, [this, i] { cmdSel1_Click(i); });
        grid->addWidget(cmdSel1[static_cast<std::size_t>(i)], 0, i * 2, 1, 2);
    }

    const char* hanNames[] = {"lblHan1", "lblHan2", "lblHan3", "lblHan4", "lblHan5", "lblHan6", "lblHan7"};
    for (std::size_t i = 0; i < 7; ++i) {
        m_swatches[i] = new QLabel(panel);
        m_swatches[i]->setFixedSize(18, 18);
        m_swatches[i]->setFrameShape(QFrame::Box);
        m_swatches[i]->setAutoFillBackground(true);
        lblHan[i] = namedLabel(panel, hanNames[i]);
        grid->addWidget(m_swatches[i], static_cast<int>(i) + 1, 0);
        grid->addWidget(lblHan[i], static_cast<int>(i) + 1, 1, 1, 3);
    }
    auto* blank = new QLabel(panel);
    blank->setFixedSize(18, 18);
    blank->setFrameShape(QFrame::Box);
    blank->setStyleSheet("background: white");
    lblNon_c = namedLabel(panel, "lblNon_c");
    grid->addWidget(blank, 8, 0);
    grid->addWidget(lblNon_c, 8, 1, 1, 3);

    QFont big = panel->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    lblGenT = namedLabel(panel, "lblGenT");
    lblZouT = namedLabel(panel, "lblZouT");
    lblHugou = namedLabel(panel, "lblHugou");
    for (QLabel* label : {lblGenT, lblZouT, lblHugou}) {
        label->setFont(big);
        label->setAlignment(Qt::AlignCenter);
    }
    grid->setRowMinimumHeight(9, 12);
    grid->addWidget(new QLabel("正常血圧", panel), 10, 0, 1, 2, Qt::AlignLeft);
    grid->addWidget(lblGenT, 10, 2, 1, 2, Qt::AlignRight);
    grid->addWidget(lblHugou, 11, 0, 1, 4, Qt::AlignCenter);
    grid->addWidget(new QLabel("高血圧", panel), 12, 0, 1, 2, Qt::AlignLeft);
    grid->addWidget(lblZouT, 12, 2, 1, 2, Qt::AlignRight);

    imgWara2 = faceLabel(panel, "imgWara2", sora::CalendarFace::Laughing);
    imgNiko2 = faceLabel(panel, "imgNiko2", sora::CalendarFace::Smiling);
    imgKana2 = faceLabel(panel, "imgKana2", sora::CalendarFace::Sad);
    auto* faces = new QHBoxLayout;
    faces->addStretch(1);
    for (QLabel* face : {imgWara2, imgNiko2, imgKana2}) {
        faces->addWidget(face);
    }
    faces->addStretch(1);
    grid->addLayout(faces, 13, 0, 1, 4);
    grid->setRowStretch(14, 1);
    return panel;
}

void CalendarScreen::open() {
    if (!m_frame->isHidden()) {
        return;
    }
    m_ctx.host.HIDE_FRAMES();
    setMode(sora::CalendarMode::Detailed);
    DSP_CALE_HEAD();
    DSP_CALE();
    m_frame->show();
    m_ctx.host.processEvents();
    m_ctx.host.setHelpText(qs(sora::calendar_help_text()));
    m_ctx.host.DSP_HELP();
}

void CalendarScreen::setMode(sora::CalendarMode mode) {
    m_mode = mode;
    const QColor highlight = toQColor(sora::colours::Reminder);
    const QColor plain = m_frame->palette().color(QPalette::Button);
    setButtonColour(cmdSel1[0], mode == sora::CalendarMode::Detailed ? highlight : plain);
    setButtonColour(cmdSel1[1], mode == sora::CalendarMode::Simple ? highlight : plain);
    for (std::size_t i = 0; i < 7; ++i) {
        const sora::BpClassInfo& info = sora::class_table()[i];
        QPalette palette = m_swatches[i]->palette();
        palette.setColor(QPalette::Window,
                         toQColor(mode == sora::CalendarMode::Detailed ? info.detailedColour : info.simpleColour));
        m_swatches[i]->setPalette(palette);
    }
}

void CalendarScreen::cmdSel1_Click(int index) {
    m_ctx.host.HIDE_FRAMES();
    setMode(index == 0 ? sora::CalendarMode::Detailed : sora::CalendarMode::Simple);
    DSP_CALE_HEAD();
    DSP_CALE();
    m_frame->show();
}

void CalendarScreen::DSP_CALE_HEAD() {
    renderGridHead(*msgList2, sora::calendar_columns());
}

void CalendarScreen::DSP_CALE() {
    const sora::SharedLog log = m_ctx.log.read();
    if (!log.ok) {
        m_ctx.host.dialogs().message(ui::Icon::Warning, "読み込みエラー", qs(log.message));
    }
    sora::CalendarView view =
        sora::build_class_calendar(*log.records, m_mode, m_ctx.state.startDate, m_ctx.clock.today());
    msgList2->beginFill();
    msgList2->setCellNames([names = std::move(view.dayNames)](int row, int column) {
        const auto index = static_cast<std::size_t>(row - 1);
        return index < names.size() && column >= 0 && column < 32 ? qs(names[index][static_cast<std::size_t>(column)])
                                                                  : QString();
    });
    renderGrid(*msgList2, std::move(view.grid));
    msgList2->endFill();
    // The latest months are the ones a user looks at.
    msgList2->scrollToBottom();

    for (std::size_t i = 0; i < 7; ++i) {
        lblHan[i]->setText(qs(view.classLabels[i]));
    }
    lblNon_c->setText(qs(view.notMeasuredLabel));
    lblGenT->setText(qs(view.normalLabel));
    lblZouT->setText(qs(view.highLabel));
    lblHugou->setText(qs(view.sign));
    imgWara2->setVisible(view.face == sora::CalendarFace::Laughing);
    imgNiko2->setVisible(view.face == sora::CalendarFace::Smiling);
    imgKana2->setVisible(view.face == sora::CalendarFace::Sad);
}

void CalendarScreen::msgList2_DblClick(int row, int column) {
    if (row < 1 || row >= msgList2->rowCount()) {
        return;
    }
    const auto date = sora::calendar_cell_date(ss(msgList2->text(row, 0)), column);
    if (!date) {
        return;  // the month column, or a day the month does not have
    }
    m_ctx.host.showMainScreenFor(QDate(date->year, date->month, date->day));
}
