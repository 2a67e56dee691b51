#include <qcustomplot.h>
#include <QClipboard>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <cmath>

#include "common/print_job.h"
#include "common/render.h"
#include "ui/chart.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/printer.h"
#include "views/average_screen.h"

namespace texts = sora::daily_average_texts;

namespace {

// The chart is printed left of the table, at the size of the chart of a screen of the old 800 × 600 kind, whatever
// size it has grown to in the window: wider, it would run under the table.
constexpr int ChartWidthPixels = (texts::PrintX - 200) / 15;
constexpr int ChartHeightPixels = 4395 / 15;
// A fixed-pitch font lines the heading's words up with the zones of the values below them.
const QString PrintFontFamily = QStringLiteral("Noto Sans Mono CJK JP");

bool printToPdfRequested() {
    return qEnvironmentVariable("SORANOTE_PRINT_TO_PDF") == QLatin1String("1");
}

}  // namespace

QString AverageScreen::pdfPath() const {
    return QDir(qs(m_ctx.dir.path().string())).filePath("日毎平均.pdf");
}

void AverageScreen::cmdAvgPri_Click() {
    const ui::Answer answer =
        m_ctx.host.dialogs().message(ui::Icon::Question, qs(std::string(texts::PrintQuestionTitle)),
                                     qs(std::string(texts::PrintQuestion)), ui::Buttons::OkCancel);
    if (answer != ui::Answer::Ok) {
        return;
    }
    QString error;
    bool toPdf = false;
    if (!printPage(error, toPdf)) {
        m_ctx.host.dialogs().message(ui::Icon::Warning, "印刷エラー", error);
        return;
    }
    if (toPdf) {
        m_ctx.host.dialogs().message(ui::Icon::Information, "印刷", printedToPdfMessage(pdfPath()));
    }
}

bool AverageScreen::printPage(QString& error, bool& toPdf) {
    ui::Printer printer(pdfPath(), m_printToPdf || printToPdfRequested());
    // Five zones of fourteen characters right of x = 7100 reach past the width of an upright page.
    printer.setLandscape(true);
    toPdf = printer.toPdf();
    if (!printer.begin()) {
        error = printer.errorText();
        return false;
    }
    if (QFontDatabase::hasFamily(PrintFontFamily)) {
        QFont font = printer.font();
        font.setFamily(PrintFontFamily);
        printer.setFont(font);
    }
    // The picture goes through the clipboard, which keeps it afterwards.
    const QImage picture = mcrAvgtai->plot()->toPixmap(ChartWidthPixels, ChartHeightPixels).toImage();
    QGuiApplication::clipboard()->setImage(picture);
    printer.setPosition(0, 0);
    printer.drawPicture(picture);

    printer.setPosition(texts::PrintX, 0);
    printer.print(qs(std::string(texts::PrintHeading)));
    printer.newLine();
    printer.setX(texts::PrintX);
    printer.print(qs(std::string(texts::PrintRule)));
    printer.newLine();
    // Zones are counted from the table's left edge, where the heading's words line up with them.
    const double zone = printer.zoneWidthTwips();
    for (const sora::DailyAverageCells& cells : shownRows()) {
        printer.setX(texts::PrintX);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i > 0 && zone > 0) {
                const double passed = std::floor((printer.x() - texts::PrintX) / zone + 1e-9);
                printer.setX(texts::PrintX + (passed + 1) * zone);
            }
            printer.print(qs(cells[i]));
        }
        printer.newLine();
    }
    if (!printer.end()) {
        error = printer.errorText();
        return false;
    }
    return true;
}
