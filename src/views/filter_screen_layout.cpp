// The controls of the filtered view and their layout.
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/render.h"
#include "ui/accessible_names.h"
#include "ui/button_icons.h"
#include "ui/chart.h"
#include "ui/grid.h"
#include "ui/list_text_delegate.h"
#include "ui/period_box.h"
#include "ui/series_mode_options.h"
#include "ui/twips.h"
#include "views/filter_exports.h"
#include "views/filter_screen.h"

namespace {

QPushButton* makeButton(const char* name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setMinimumWidth(0);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return button;
}

}  // namespace

void FilterScreen::buildFrame() {
    msgBunseki = new ui::Grid(m_frame);
    msgBunseki->setObjectName("msgBunseki");
    msgBunseki->setAccessibleName("範囲指定の一覧");
    const auto& columns = sora::filter_columns();
    msgBunseki->setColumnCount(static_cast<int>(columns.size()));
    renderGridHead(*msgBunseki, columns);
    new RecordActions(msgBunseki, m_ctx.changes, m_listed, RecordActions::DoubleClick::Corrects);

    auto* left = new QVBoxLayout;
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(msgBunseki, 3);
    left->addWidget(buildChartArea(), 2);

    auto* layout = new QHBoxLayout(m_frame);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(left, 1);
    layout->addWidget(buildControlColumn(), 0);
}

QWidget* FilterScreen::buildChartArea() {
    auto* area = new QWidget(m_frame);
    mcrBunseki = new ui::Chart(4, area);
    mcrBunseki->setObjectName("mcrBunseki");
    mcrBunseki->setAccessibleName("範囲指定のグラフ");
    mcrBunseki->setMinimumSize(ui::twipsToPixels(6000, mcrBunseki), ui::twipsToPixels(3000, mcrBunseki));
    styleTrendChart(*mcrBunseki);

    m_modes =
        new ui::SeriesModeOptions({"optTai2", "optShi2", "optKon2", "optTai4", "optKon4"},
                                  {"血圧 （mmHg）", "脈拍 （拍/分）", "脈拍混合", "体重 （Kg）", "体重混合"}, area);
    m_modes->setObjectName("mcrBunsekiModes");
    connect(m_modes, &ui::SeriesModeOptions::modeChosen, this, &FilterScreen::applySeriesMode);

    auto* layout = new QHBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mcrBunseki, 1);
    layout->addWidget(m_modes, 0, Qt::AlignTop);
    return area;
}

QWidget* FilterScreen::buildControlColumn() {
    auto* column = new QWidget(m_frame);
    column->setMaximumWidth(300);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    // Situation: the list, the keyword box and its "全部"; Enter in the box or "検索" searches.
    auto* situationBox = new QGroupBox("状況", column);
    auto* situationLayout = new QGridLayout(situationBox);
    lstAct2 = new QListWidget(situationBox);
    lstAct2->setObjectName("lstAct2");
    lstAct2->setItemDelegate(new ui::ListTextDelegate(lstAct2));
    lstAct2->setMinimumHeight(90);
    txtKey = new QLineEdit(situationBox);
    txtKey->setObjectName("txtKey");
    txtKey->setPlaceholderText("語句を入力してEnter");
    txtKey->installEventFilter(this);
    cmdAllact = makeButton("cmdAllact", "全部", situationBox);
    cmdKensaku = makeButton("cmdKensaku", "検索", situationBox);
    situationLayout->addWidget(lstAct2, 0, 0, 1, 2);
    situationLayout->addWidget(txtKey, 1, 0, 1, 2);
    situationLayout->addWidget(cmdKensaku, 2, 0);
    situationLayout->addWidget(cmdAllact, 2, 1);
    // A click lists; so does Enter on the chosen entry (the event filter). Not itemActivated: a double-click
    // would list a second time after its first click.
    connect(lstAct2, &QListWidget::itemClicked, this, [this] { lstAct2_Click(); });
    lstAct2->installEventFilter(this);
    connect(txtKey, &QLineEdit::returnPressed, this, &FilterScreen::txtKey_Enter);
    connect(cmdAllact, &QPushButton::clicked, this, &FilterScreen::cmdAllact_Click);
    connect(cmdKensaku, &QPushButton::clicked, this, &FilterScreen::cmdKensaku_Click);

    // Weekdays, Sunday first, then "全部".
    auto* weekBox = new QGroupBox("曜日", column);
    auto* weekLayout = new QGridLayout(weekBox);
    weekLayout->setSpacing(3);
    for (int i = 0; i < 7; ++i) {
        const QString name = QString("cmdWeek%1").arg(i);
        cmdWeek[i] = makeButton(name.toLatin1().constData(), qs(sora::weekday_character(i)), weekBox);
        weekLayout->addWidget(cmdWeek[i], i / 4, i % 4);
        connect(cmdWeek[i], &QPushButton::clicked, this, [this, i] { cmdWeek_Click(i); });
    }
    cmdAllWeek = makeButton("cmdAllWeek", "全部", weekBox);
    weekLayout->addWidget(cmdAllWeek, 1, 3);
    connect(cmdAllWeek, &QPushButton::clicked, this, &FilterScreen::cmdAllWeek_Click);

    // Periods: three buttons a row, then the two boxes and "任意", which lists what they hold.
    auto* periodBox = new QGroupBox("期間", column);
    auto* periodLayout = new QGridLayout(periodBox);
    periodLayout->setSpacing(3);
    const auto& buttons = sora::period_buttons();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const std::string name(buttons[i].name);
        m_periodButtons[i] = makeButton(name.c_str(), qs(std::string(buttons[i].caption)), periodBox);
        periodLayout->addWidget(m_periodButtons[i], static_cast<int>(i) / 3, static_cast<int>(i) % 3);
        const int index = static_cast<int>(i);
        connect(m_periodButtons[i], &QPushButton::clicked, this, [this, index] { periodButton_Click(index); });
    }
    cmdKikanF = makeButton("cmdKikanF", "任意", periodBox);
    connect(cmdKikanF, &QPushButton::clicked, this, &FilterScreen::cmdKikanF_Click);
    m_periodDates = new ui::TextListModel(this);
    cboStdate = ui::makePeriodBox(periodBox, "cboStdate", m_periodDates, 10);
    cboEddate = ui::makePeriodBox(periodBox, "cboEddate", m_periodDates, 10);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(cboStdate, 1);
    boxes->addWidget(new QLabel("～", periodBox));
    boxes->addWidget(cboEddate, 1);
    periodLayout->addLayout(boxes, 3, 0, 1, 3);
    periodLayout->addWidget(cmdKikanF, 4, 2);

    cmdPriData = new QPushButton(column);
    cmdPriData->setObjectName("cmdPriData");
    cmdPriData->setIcon(ui::buttonIcon(ui::ButtonIcon::Print));
    cmdPriData->setIconSize(QSize(40, 40));
    cmdPriData->setToolTip("表示中のデータで印刷");
    cmdPriData->setFixedSize(56, 56);
    connect(cmdPriData, &QPushButton::clicked, this, &FilterScreen::cmdPriData_Click);

    layout->addWidget(situationBox, 1);
    layout->addWidget(weekBox);
    layout->addWidget(periodBox);
    layout->addStretch(0);
    // For the doctor: the report of the period in the boxes, and the listed records as CSV.
    m_exports = new FilterExports(m_ctx, m_frame);
    cmdReport = makeButton("cmdReport", "レポート", column);
    cmdReport->setToolTip("期間の家庭血圧レポート（朝・晩の平均）");
    cmdCsvHozon = makeButton("cmdCsvHozon", "CSV保存", column);
    cmdCsvHozon->setToolTip("表示中のデータをCSVファイルに保存");
    connect(cmdReport, &QPushButton::clicked, this,
            [this] { m_exports->makeReport(cboStdate->currentText(), cboEddate->currentText()); });
    connect(cmdCsvHozon, &QPushButton::clicked, this, [this] { m_exports->saveCsv(m_shownListing, m_shownCriteria); });
    auto* exportRow = new QHBoxLayout;
    exportRow->addWidget(cmdReport);
    exportRow->addWidget(cmdCsvHozon);
    exportRow->addWidget(cmdPriData, 0, Qt::AlignRight | Qt::AlignBottom);
    layout->addLayout(exportRow);
    static const char* const weekdays[7] = {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"};
    for (int i = 0; i < 7; ++i) {
        cmdWeek[i]->setAccessibleName(weekdays[i]);
    }
    ui::nameControls(*column, {
                                  {"lstAct2", "状況", "選ぶとその状況の測定だけを表示します"},
                                  {"txtKey", "状況の語句", "語句を入力して Enter で検索します"},
                                  {"cmdAllact", "状況を全部表示", nullptr},
                                  {"cmdAllWeek", "曜日を全部表示", nullptr},
                                  {"cboStdate", "期間の始め", nullptr},
                                  {"cboEddate", "期間の終わり", nullptr},
                                  {"cmdKikanF", "任意の期間で表示", nullptr},
                                  {"cmdPriData", "印刷", "表示中のデータで印刷"},
                              });
    return column;
}
