#include "main/main_screen.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QVBoxLayout>

#include "common/render.h"
#include "common/side_file_guard.h"
#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "core/views/spoken_text.h"
#include "main/class_scale.h"
#include "main/entry_panel.h"
#include "main/face_image.h"
#include "main/judgement_chart_view.h"
#include "main/main_screen_parts.h"
#include "ui/accessible_names.h"
#include "ui/chart.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/month_calendar.h"
#include "ui/series_mode_options.h"
#include "ui/twips.h"

MainScreen::MainScreen(ScreenContext context, QWidget* parent)
    : QObject(parent), m_ctx(context), m_frame(new QWidget(parent)) {
    m_frame->setObjectName("fraMain");
    buildLayout();

    connect(mtvmain, &ui::MonthCalendar::dateChosen, this, &MainScreen::mtvmain_DateClick);
    connect(mtvmain, &ui::MonthCalendar::dateMoved, this, &MainScreen::showDay);
    connect(cmdHanteiGr, &QPushButton::clicked, this, &MainScreen::cmdHanteiGr_Click);
    connect(cmdSuiiGr, &QPushButton::clicked, this, &MainScreen::cmdSuiiGr_Click);
    connect(mcrMain, &ui::Chart::clicked, this, &MainScreen::mcrMain_Click);
    connect(m_seriesOptions, &ui::SeriesModeOptions::modeChosen, this, &MainScreen::applySeriesMode);
    new RecordActions(msgDayList, m_ctx.changes, m_listed, RecordActions::DoubleClick::Corrects,
                      RecordActions::EnterKey::DoesNothing);
}

void MainScreen::buildLayout() {
    auto* columns = new QHBoxLayout(m_frame);
    columns->setContentsMargins(4, 4, 4, 4);
    columns->setSpacing(8);

    auto* left = new QVBoxLayout;
    left->setSpacing(6);
    left->addWidget(buildJudgementBand());
    msgDayList = new ui::Grid(m_frame);
    msgDayList->setObjectName("msgDayList");
    msgDayList->setFontPointSize(11);
    msgDayList->setMinimumHeight(150);
    // The colour column is 90 twips wide; the header's default minimum would widen it.
    msgDayList->horizontalHeader()->setMinimumSectionSize(4);
    renderGridHead(*msgDayList, sora::day_list_columns());
    // Wide enough for all fourteen columns at their twips widths, so the list never needs a horizontal scrollbar.
    int listWidth = 0;
    for (const sora::GridColumn& column : sora::day_list_columns()) {
        listWidth += ui::twipsToPixels(column.widthTwips, msgDayList);
    }
    msgDayList->setMinimumWidth(listWidth + msgDayList->verticalScrollBar()->sizeHint().width() +
                                2 * msgDayList->frameWidth() + 2);
    left->addWidget(msgDayList, 2);
    left->addWidget(buildChartArea(), 3);
    columns->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    right->setSpacing(6);
    mtvmain = new ui::MonthCalendar(m_frame);
    mtvmain->setObjectName("mtvmain");
    mtvmain->setMinimumSize(280, 190);
    mtvmain->setMaximumHeight(230);
    right->addWidget(mtvmain, 0);
    m_entry = new EntryPanel(
        m_ctx, [this] { DSP_MAIN(); }, m_frame);
    right->addWidget(m_entry, 1);
    right->addWidget(makeJudgementTable(m_frame), 0);
    columns->addLayout(right, 0);

    ui::nameControls(*m_frame, {
                                   {"msgDayList", "測定の一覧", "選んだ日の測定。F2 で訂正、Delete で削除"},
                                   {"mtvmain", "日付の選択", "日を選ぶとその日の測定を表示します"},
                                   {"mcrMain", "推移グラフ", nullptr},
                               });
    // Tab walks a measurement's way: the day, the situation, the four values, save; then the day's list and charts.
    QWidget::setTabOrder(m_entry->chainTabOrder(mtvmain), msgDayList);
    QWidget::setTabOrder(msgDayList, cmdHanteiGr);
    QWidget::setTabOrder(cmdHanteiGr, cmdSuiiGr);
}

QWidget* MainScreen::buildJudgementBand() {
    auto* band = new QWidget(m_frame);
    auto* row = new QHBoxLayout(band);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    // The four faces share one place; exactly one of them is shown.
    auto* faces = new QWidget(band);
    auto* faceCell = new QGridLayout(faces);
    faceCell->setContentsMargins(0, 0, 0, 0);
    imgwara = new FaceImage(sora::Face::Laughing, faces);
    imgwara->setObjectName("imgwara");
    imgniko = new FaceImage(sora::Face::Smiling, faces);
    imgniko->setObjectName("imgniko");
    imgkana = new FaceImage(sora::Face::Sulky, faces);
    imgkana->setObjectName("imgkana");
    imgNashi = new FaceImage(sora::Face::None, faces);
    imgNashi->setObjectName("imgNashi");
    for (FaceImage* face : {imgwara, imgniko, imgkana, imgNashi}) {
        faceCell->addWidget(face, 0, 0, Qt::AlignCenter);
    }
    faces->setFixedSize(76, 76);
    showFace(sora::Face::None);
    row->addWidget(faces, 0, Qt::AlignTop);

    auto* judgement = new QVBoxLayout;
    judgement->setSpacing(2);
    lblMHyouka = new QLabel(QString::fromUtf8(sora::NotRegisteredToday.data()), band);
    lblMHyouka->setObjectName("lblMHyouka");
    lblMHyouka->setAlignment(Qt::AlignCenter);
    lblMHyouka->setMinimumHeight(26);
    QFont bold = lblMHyouka->font();
    bold.setPixelSize(15);
    bold.setBold(true);
    lblMHyouka->setFont(bold);
    m_scale = new ClassScale(band);
    judgement->addWidget(lblMHyouka);
    judgement->addWidget(m_scale, 0, Qt::AlignHCenter);
    row->addLayout(judgement);

    StatisticsPanel statistics = makeStatisticsPanel(band);
    m_statistics = statistics.labels;
    row->addWidget(statistics.widget, 1, Qt::AlignTop);
    return band;
}

QWidget* MainScreen::buildChartArea() {
    auto* area = new QWidget(m_frame);
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);

    // fraWho lies over mcrMain in the same place; hiding it uncovers the trend chart.
    auto* stack = new QWidget(area);
    auto* cell = new QGridLayout(stack);
    cell->setContentsMargins(0, 0, 0, 0);
    mcrMain = new ui::Chart(4, stack);
    mcrMain->setObjectName("mcrMain");
    mcrMain->setToolTip("クリックするとマーカーの表示が変わります");
    styleTrendChart(*mcrMain);
    mcrMain->setAxisTitle(ui::Axis::Primary, "mmHg");
    fraWho = new QFrame(stack);
    fraWho->setObjectName("fraWho");
    fraWho->setAutoFillBackground(true);
    auto* who = new QVBoxLayout(fraWho);
    who->setContentsMargins(0, 0, 0, 0);
    m_judgementChart = new JudgementChartView(fraWho);
    who->addWidget(m_judgementChart);
    cell->addWidget(mcrMain, 0, 0);
    cell->addWidget(fraWho, 0, 0);
    fraWho->raise();
    mcrMain->hide();  // under fraWho: not drawn until uncovered
    row->addWidget(stack, 1);

    auto* side = new QVBoxLayout;
    m_seriesOptions =
        new ui::SeriesModeOptions({"optTai", "optShi", "optKon", "optTai5", "optKon5"},
                                  {"血圧 (mmHg)", "脈拍 (拍/分)", "脈拍混合", "体重 （Kg）", "体重混合"}, area);
    m_seriesOptions->setObjectName("fraSeriesMain");
    cmdHanteiGr = new QPushButton("血圧判定表に戻る", area);
    cmdHanteiGr->setObjectName("cmdHanteiGr");
    cmdSuiiGr = new QPushButton("血圧＆脈拍　推移グラフ表示へ", area);
    cmdSuiiGr->setObjectName("cmdSuiiGr");
    for (QPushButton* button : {cmdHanteiGr, cmdSuiiGr}) {
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        button->setStyleSheet("text-align: center; padding: 3px 6px;");
    }
    side->addWidget(m_seriesOptions);
    side->addStretch(1);
    side->addWidget(cmdSuiiGr);
    side->addWidget(cmdHanteiGr);
    row->addLayout(side);
    return area;
}

void MainScreen::open() {
    if (!m_frame->isHidden()) {
        return;
    }
    m_ctx.host.HIDE_FRAMES();
    m_frame->show();
    m_ctx.host.processEvents();
    DSP_MAIN();
}

void MainScreen::setSituations(const QStringList& items) {
    m_entry->setSituations(items);
}
void MainScreen::appendSituation(const QString& item) {
    m_entry->appendSituation(item);
}
QStringList MainScreen::situations() const {
    return m_entry->situations();
}

void MainScreen::DSP_MAIN() {
    sora::AppState& state = m_ctx.state;
    const sora::DayPage page = sora::day_page_of(m_ctx.log.read(), state.selectedDate, state.axes, secondaryQuantity());
    if (page.ok) {
        state.startDate = page.startDate;
        state.latestDate = page.latestDate;
        state.recordCount = static_cast<std::int32_t>(page.recordCount);
        state.previous = page.previous;
        state.judgement = page.judgement;
    } else {
        m_ctx.host.dialogs().message(ui::Icon::Warning, "読み込みエラー", qs(page.message));
    }
    state.extremes = page.extremes;
    m_listed = ListedRecords{page.recordIndices, page.recordIndices.size(), page.stamp};
    m_entry->setLogReadable(page.ok);
    render(page);
}

void MainScreen::refresh() {
    const int currentRow = msgDayList->currentRow();
    const int currentColumn = msgDayList->currentColumnIndex();
    DSP_MAIN();
    msgDayList->setCurrentCell(currentRow, currentColumn);
}

void MainScreen::render(const sora::DayPage& page) {
    renderGrid(*msgDayList, page.list);
    for (std::size_t q = 0; q < 4; ++q) {
        for (std::size_t k = 0; k < 4; ++k) {
            m_statistics[q][k]->setText(qs(page.statistics[q][k]));
        }
    }

    renderChartRows(*mcrMain, page.chartRows);
    applyAxis(*mcrMain, ui::Axis::Primary, page.primary);
    applyAxis(*mcrMain, ui::Axis::Secondary, page.secondary);
    mcrMain->redraw();

    lblMHyouka->setText(qs(page.judgement.name));
    lblMHyouka->setStyleSheet(QString("background-color: %1; border: 1px solid #808080; padding: 2px 6px;")
                                  .arg(toQColor(page.judgement.colour).name()));
    m_scale->setPointer(page.pointerX, page.pointerY);
    m_judgementChart->setMarks(page.marks);
    showFace(page.face);
    const QString faceName = qs(sora::face_name(page.judgement.name));
    for (FaceImage* image : {imgwara, imgniko, imgkana, imgNashi}) {
        image->setAccessibleName(faceName);
    }
    m_entry->clear();
}

void MainScreen::showFace(sora::Face face) {
    for (FaceImage* image : {imgwara, imgniko, imgkana, imgNashi}) {
        image->hide();
    }
    for (FaceImage* image : {imgwara, imgniko, imgkana, imgNashi}) {
        if (image->face() == face) {
            image->show();
        }
    }
}

void MainScreen::setSelectedDate(const QDate& date) {
    mtvmain->setSelectedDate(date);
    m_ctx.state.selectedDate = date.toString("yyyy/MM/dd").toStdString();
}

void MainScreen::disableSteppers() {
    m_entry->disableSteppers();
}

void MainScreen::selectSeriesMode(int index) {
    m_seriesOptions->select(index);
}

sora::SecondaryQuantity MainScreen::secondaryQuantity() const {
    const int selected = m_seriesOptions->selected();
    return selected < 0 ? sora::SecondaryQuantity::Weight : sora::secondary_quantity(seriesModeFromIndex(selected));
}

void MainScreen::applySeriesMode(int index) {
    const sora::SeriesMode mode = seriesModeFromIndex(index);
    const sora::AppState& state = m_ctx.state;
    const sora::SecondaryQuantity quantity = sora::secondary_quantity(mode);
    applyAxis(*mcrMain, ui::Axis::Secondary, sora::main_secondary_axis(state.axes, quantity, state.extremes));
    mcrMain->setAxisTitle(ui::Axis::Secondary, quantity == sora::SecondaryQuantity::Pulse ? "拍/分" : "kg");
    applySeriesVisibility(*mcrMain, mode);
    mcrMain->redraw();
}

void MainScreen::applyMarkerMode() {
    const int mode = m_ctx.state.markerMode;
    // A hand-edited value above 2 shows balls, as 2 does.
    const ui::Marker marker = mode <= 0 ? ui::Marker::None : mode == 1 ? ui::Marker::Circles : ui::Marker::Balls;
    for (int series : {0, 1, 3}) {
        mcrMain->setMarker(series, marker);
    }
    mcrMain->redraw();
}

void MainScreen::mtvmain_DateClick(const QDate& date) {
    showDay(date);
    focusEntry();
}

void MainScreen::focusEntry() {
    m_entry->situationList()->setFocus(Qt::OtherFocusReason);
}

void MainScreen::showDay(const QDate& date) {
    m_ctx.state.selectedDate = date.toString("yyyy/MM/dd").toStdString();
    DSP_MAIN();
}

void MainScreen::cmdHanteiGr_Click() {
    fraWho->show();
    fraWho->raise();
    mcrMain->hide();
    m_ctx.host.processEvents();
    DSP_MAIN();
}

void MainScreen::cmdSuiiGr_Click() {
    mcrMain->show();
    fraWho->hide();
}

void MainScreen::mcrMain_Click() {
    if (!mayWriteSideFile(m_ctx, sora::files::Marker)) {
        return;
    }
    int mode = m_ctx.state.markerMode + 1;
    if (mode > 2) {
        mode = 0;
    }
    m_ctx.state.markerMode = mode;
    applyMarkerMode();
    const sora::WriteResult written = sora::write_marker_mode(m_ctx.dir, mode);
    if (!written) {
        m_ctx.host.dialogs().message(ui::Icon::Warning, "保存エラー", qs(written.message));
    }
}
