#include "views/home_report_document.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <utility>
#include <vector>

#include "common/render.h"
#include "core/rules/home_bp_guideline.h"
#include "ui/day_chart_painter.h"
#include "ui/printer.h"

namespace {

constexpr double kMarginMm = 12;  // the paper's edge to the text, printer margins included
constexpr double kFooterMm = 8;
constexpr double kChartMm = 72;
constexpr const char* kTitle = "家庭血圧レポート";

/// Column widths in millimetres and which columns hold text (left-aligned) rather than figures.
struct TableStyle {
    std::vector<double> widths;
    std::vector<bool> textColumns;
    double rowMm;
    double fontPoints;
};

}  // namespace

/// The pen of the layout: where the next block goes, on which page, and the painter when drawing.
class HomeReportDocument::Flow {
public:
    /// Draws and turns pages when `painter` and `pages` are given; else only measures.
    Flow(QPainter* painter, QPagedPaintDevice* pages, const QPagedPaintDevice& device, int pageTotal)
        : painter(painter), pages(pages), device(&device), pageTotal(pageTotal) {
        unitsPerMm = device.logicalDpiY() / 25.4;
        const QPageLayout layout = device.pageLayout();
        const QMarginsF printerMargins = layout.margins(QPageLayout::Millimeter);
        left = std::max(0.0, kMarginMm - printerMargins.left());
        top = std::max(0.0, kMarginMm - printerMargins.top());
        width = device.width() / unitsPerMm - left - std::max(0.0, kMarginMm - printerMargins.right());
        bottom = device.height() / unitsPerMm - std::max(0.0, kMarginMm - printerMargins.bottom()) - kFooterMm;
        y = top;
    }

    double mm(double value) const { return value * unitsPerMm; }
    /// Fonts are looked up once per size: finding the Japanese family costs more than drawing a row.
    const QFont& font(double points, bool bold = false) {
        auto found = fonts.find({points, bold});
        if (found == fonts.end()) {
            QFont font = ui::Printer::japaneseFont(points);
            font.setBold(bold);
            found = fonts.emplace(std::make_pair(points, bold), font).first;
        }
        return found->second;
    }
    QRectF rect(double x, double yMm, double w, double h) const { return {mm(x), mm(yMm), mm(w), mm(h)}; }
    bool fits(double heightMm) const { return y + heightMm <= bottom; }

    void newPage() {
        drawFooter();
        if (pages) {
            pages->newPage();
        }
        ++page;
        y = top;
    }
    void drawFooter() {
        if (!painter) {
            return;
        }
        painter->setFont(font(8));
        painter->setPen(Qt::black);
        painter->drawText(rect(left, bottom + 2, width, kFooterMm - 2), Qt::AlignHCenter | Qt::AlignVCenter,
                          QStringLiteral("%1 / %2").arg(page).arg(pageTotal));
    }
    void text(const QString& text, double points, double heightMm, bool bold = false,
              Qt::Alignment align = Qt::AlignLeft) {
        if (painter) {
            painter->setFont(font(points, bold));
            painter->setPen(Qt::black);
            painter->drawText(rect(left, y, width, heightMm), align | Qt::AlignVCenter, text);
        }
        y += heightMm;
    }

    /// A text wrapped to the width, `lineMm` per line.
    void paragraph(const QString& text, double points, double lineMm) {
        const QFont& textFont = font(points);
        const QFontMetricsF metrics(textFont, device);
        const QRectF needed =
            metrics.boundingRect(QRectF(0, 0, mm(width), mm(1000)), Qt::TextWordWrap | Qt::AlignLeft, text);
        const int lines = std::max(1, static_cast<int>(std::lround(needed.height() / metrics.lineSpacing())));
        if (painter) {
            painter->setFont(textFont);
            painter->setPen(Qt::black);
            painter->drawText(rect(left, y, width, lineMm * lines), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter,
                              text);
        }
        y += lineMm * lines;
    }

    /// One table row; the widths are scaled to the page width.
    void row(const std::vector<std::string>& cells, const TableStyle& style, bool heading) {
        if (painter) {
            double total = 0;
            for (double w : style.widths) {
                total += w;
            }
            const double scale = width / total;
            const QFont& cellFont = font(style.fontPoints, heading);
            painter->setFont(cellFont);
            const QFontMetricsF metrics(cellFont, painter->device());
            if (heading) {
                painter->fillRect(rect(left, y, width, style.rowMm), QColor(230, 230, 230));
            }
            painter->setPen(QPen(QColor(150, 150, 150), mm(0.15)));
            painter->drawLine(QPointF(mm(left), mm(y + style.rowMm)), QPointF(mm(left + width), mm(y + style.rowMm)));
            painter->setPen(Qt::black);
            double x = left;
            for (std::size_t c = 0; c < cells.size() && c < style.widths.size(); ++c) {
                const double w = style.widths[c] * scale;
                const QRectF cell = rect(x + 1, y, w - 2, style.rowMm);
                const bool isText = style.textColumns[c];
                const Qt::Alignment align = heading ? Qt::AlignHCenter : (isText ? Qt::AlignLeft : Qt::AlignRight);
                // A long diary text ends in "…" rather than running into the next column; figures always fit.
                const QString text = qs(cells[c]);
                painter->drawText(cell, align | Qt::AlignVCenter,
                                  isText ? metrics.elidedText(text, Qt::ElideRight, cell.width()) : text);
                x += w;
            }
        }
        y += style.rowMm;
    }

    /// A titled table that continues on further pages under its title and heading row.
    void table(const QString& title, const sora::ReportTable& table, const TableStyle& style) {
        const double titleMm = 7;
        std::size_t next = 0;
        bool continued = false;
        do {
            if (!fits(titleMm + style.rowMm * 2)) {
                newPage();
            }
            text(continued ? title + QStringLiteral("（続き）") : title, 11, titleMm, true);
            row(table.headings, style, true);
            while (next < table.rows.size() && fits(style.rowMm)) {
                row(table.rows[next++], style, false);
            }
            continued = true;
        } while (next < table.rows.size());
        y += 4;
    }

    QPainter* painter;
    QPagedPaintDevice* pages;
    const QPaintDevice* device;
    int pageTotal;
    int page = 1;
    double unitsPerMm = 1;
    double left = 0;
    double top = 0;
    double width = 0;
    double bottom = 0;
    double y = 0;
    std::map<std::pair<double, bool>, QFont> fonts;
};

HomeReportDocument::HomeReportDocument(sora::HomeBpReport report, QString userName, QString madeOn)
    : m_report(std::move(report)), m_userName(std::move(userName)), m_madeOn(std::move(madeOn)) {}

int HomeReportDocument::pageCount(const QPagedPaintDevice& device) const {
    Flow flow(nullptr, nullptr, device, 0);
    return layOut(flow);
}

void HomeReportDocument::paint(QPainter& painter, QPagedPaintDevice& device) const {
    Flow flow(&painter, &device, device, pageCount(device));
    layOut(flow);
}

int HomeReportDocument::layOut(Flow& flow) const {
    drawHeading(flow);

    flow.text(QStringLiteral("まとめ"), 11, 7, true);
    const TableStyle summaryStyle{{30, 18, 18, 16, 14, 50}, {true, false, false, false, false, true}, 6.5, 9.5};
    const sora::ReportTable summary = sora::report_summary_table(m_report);
    flow.row(summary.headings, summaryStyle, true);
    for (const auto& cells : summary.rows) {
        flow.row(cells, summaryStyle, false);
    }
    flow.y += 1;
    for (const std::string& note : sora::report_summary_notes(m_report)) {
        flow.paragraph(qs(note), 8.5, 4.5);
    }
    flow.y += 3;

    drawChart(flow);

    const TableStyle weeklyStyle{
        {34, 14, 14, 14, 14, 14, 14, 14, 14}, {true, false, false, false, false, false, false, false, false}, 5.5, 8.5};
    flow.table(QStringLiteral("週ごとの平均"), sora::report_weekly_table(m_report), weeklyStyle);
    const TableStyle dailyStyle{{22, 7, 12, 12, 12, 12, 12, 12, 12, 65},
                                {true, true, false, false, false, false, false, false, false, true},
                                5,
                                8};
    flow.table(QStringLiteral("毎日の記録（同じ日の朝・晩に複数回測ったときはその平均）"),
               sora::report_daily_table(m_report), dailyStyle);
    flow.drawFooter();
    return flow.page;
}

void HomeReportDocument::drawHeading(Flow& flow) const {
    const double top = flow.y;
    flow.text(QString::fromUtf8(kTitle), 18, 10, true);
    flow.y = top;
    flow.text(QStringLiteral("ソラノート＋"), 9, 10, false, Qt::AlignRight);
    const int days = static_cast<int>(m_report.days.size());
    flow.text(QStringLiteral("氏名: %1").arg(m_userName.isEmpty() ? QStringLiteral("（未設定）") : m_userName), 10.5,
              6);
    flow.text(QStringLiteral("期間: %1（%2日間）　作成日: %3")
                  .arg(qs(sora::report_period_text(m_report)))
                  .arg(days)
                  .arg(m_madeOn),
              10.5, 6);
    if (flow.painter) {
        flow.painter->setPen(QPen(Qt::black, flow.mm(0.4)));
        flow.painter->drawLine(QPointF(flow.mm(flow.left), flow.mm(flow.y + 1)),
                               QPointF(flow.mm(flow.left + flow.width), flow.mm(flow.y + 1)));
    }
    flow.y += 4;
}

void HomeReportDocument::drawChart(Flow& flow) const {
    if (!flow.fits(7 + kChartMm)) {
        flow.newPage();
    }
    flow.text(QStringLiteral("朝・晩の血圧の推移"), 11, 7, true);
    if (flow.painter) {
        constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();
        ui::DayChart chart;
        chart.unit = QStringLiteral("mmHg");
        std::vector<double> values[4];
        double low = 75;
        double high = 135;
        for (const sora::ReportDay& day : m_report.days) {
            chart.dayLabels << qs(sora::format_date(day.date).substr(5));
            const sora::OccasionMean* occasions[2] = {&day.morning, &day.evening};
            for (int o = 0; o < 2; ++o) {
                const sora::ValueMean& systolic = occasions[o]->systolic;
                const sora::ValueMean& diastolic = occasions[o]->diastolic;
                values[o * 2].push_back(systolic.present() ? systolic.mean : NoValue);
                values[o * 2 + 1].push_back(diastolic.present() ? diastolic.mean : NoValue);
                if (systolic.present()) {
                    high = std::max(high, systolic.mean);
                }
                if (diastolic.present()) {
                    low = std::min(low, diastolic.mean);
                }
            }
        }
        chart.minimum = std::floor((low - 5) / 10) * 10;
        chart.maximum = std::ceil((high + 5) / 10) * 10;
        chart.step = chart.maximum - chart.minimum > 120 ? 20 : 10;
        const QColor red(200, 30, 30);
        const QColor blue(30, 60, 200);
        chart.lines = {{QStringLiteral("朝 最高"), red, Qt::SolidLine, values[0]},
                       {QStringLiteral("朝 最低"), blue, Qt::SolidLine, values[1]},
                       {QStringLiteral("晩 最高"), red.lighter(140), Qt::DashLine, values[2]},
                       {QStringLiteral("晩 最低"), blue.lighter(150), Qt::DashLine, values[3]}};
        const sora::HomeBpGuideline& guideline = sora::home_bp_guideline();
        const QColor thresholdColour(220, 120, 0);
        chart.rules = {{guideline.highSystolic, QString::number(guideline.highSystolic), thresholdColour, {}},
                       {guideline.highDiastolic, QString::number(guideline.highDiastolic), thresholdColour, {}}};
        const sora::HomeTarget target = sora::home_target(m_report.target);
        // A doctor's target at the threshold would only draw the same lines again.
        if (target.systolic != guideline.highSystolic || target.diastolic != guideline.highDiastolic) {
            const bool doctor = m_report.target.choice == sora::TargetSetting::Choice::Doctor;
            const QString legend = QStringLiteral("目標 %1/%2 未満（%3）")
                                       .arg(target.systolic)
                                       .arg(target.diastolic)
                                       .arg(doctor ? QString::fromStdString(sora::target_source(m_report.target))
                                                   : QString::fromUtf8(guideline.shortName));
            const QColor targetColour(0, 140, 60);
            chart.rules.push_back({target.systolic, QString::number(target.systolic), targetColour, legend});
            chart.rules.push_back({target.diastolic, QString::number(target.diastolic), targetColour, legend});
        }
        flow.painter->setFont(flow.font(7.5));
        chart.paint(*flow.painter, flow.rect(flow.left, flow.y, flow.width, kChartMm), flow.unitsPerMm);
    }
    flow.y += kChartMm + 4;
}
