#include "main/main_screen_parts.h"

#include <QFont>
#include <QFrame>
#include <QGridLayout>

#include "common/render.h"
#include "core/rules/classification.h"

namespace {

QLabel* caption(const QString& text, QWidget* parent, int pixelSize = 11) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet("color: #505050;");
    return label;
}

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

StatisticsPanel makeStatisticsPanel(QWidget* parent) {
    StatisticsPanel panel;
    auto* frame = new QFrame(parent);
    frame->setObjectName("fraStatistics");
    frame->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);

    static const char* const kindCaptions[4] = {"最高", "最低", "差", "平均"};
    static const char* const kindNames[4] = {"Max", "Min", "Sa", "Avg"};
    static const char* const quantityCaptions[4] = {"最高血圧", "最低血圧", "脈拍", "高低差"};
    static const char* const quantityNames[4] = {"Max", "Min", "Mya", "Sa"};

    for (int k = 0; k < 4; ++k) {
        grid->addWidget(caption(kindCaptions[k], frame), 0, k + 1);
    }
    for (int q = 0; q < 4; ++q) {
        QLabel* rowCaption = caption(quantityCaptions[q], frame, 12);
        rowCaption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(rowCaption, q + 1, 0);
        for (int k = 0; k < 4; ++k) {
            auto* label = new QLabel("0", frame);
            label->setObjectName(QString("lbl%1%2").arg(quantityNames[q], kindNames[k]));
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            label->setMinimumWidth(44);
            label->setFrameShape(QFrame::StyledPanel);
            label->setStyleSheet("background: white; padding: 0 3px;");
            grid->addWidget(label, q + 1, k + 1);
            panel.labels[q][k] = label;
        }
    }
    panel.widget = frame;
    return panel;
}

QWidget* makeJudgementTable(QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setObjectName("fraHanteiHyou");
    frame->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);

    QFont bold;
    bold.setBold(true);
    auto* heading = new QLabel("血圧判定", frame);
    heading->setFont(bold);
    heading->setAlignment(Qt::AlignCenter);
    auto* rangeHeading = new QLabel("最高血圧 ～ 最低血圧", frame);
    rangeHeading->setFont(bold);
    rangeHeading->setAlignment(Qt::AlignCenter);
    grid->addWidget(heading, 0, 0);
    grid->addWidget(rangeHeading, 0, 1);

    // The range texts line their numbers up with blanks, which needs a fixed-pitch font.
    QFont fixed("Noto Sans Mono CJK JP");
    fixed.setStyleHint(QFont::Monospace);
    int row = 1;
    for (const sora::BpClassInfo& info : sora::class_table()) {
        auto* name = new QLabel(fromView(info.name), frame);
        name->setAlignment(Qt::AlignCenter);
        name->setStyleSheet(QString("background: %1; padding: 1px 4px;").arg(toQColor(info.detailedColour).name()));
        auto* range = new QLabel(fromView(sora::judgement_range_text(info.cls)), frame);
        range->setFont(fixed);
        range->setStyleSheet("padding: 1px 4px;");
        grid->addWidget(name, row, 0);
        grid->addWidget(range, row, 1);
        ++row;
    }
    return frame;
}
