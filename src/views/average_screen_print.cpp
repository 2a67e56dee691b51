#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include "common/render.h"
#include "ui/chart.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/printer.h"
#include "views/average_screen.h"

namespace texts = sora::daily_average_texts;

namespace {

// The chart is printed left of the table; a chart that grew with the window is reduced to fit there.
constexpr int ChartWidthTwips = texts::PrintX - 100;
constexpr int TwipsPerPixel = 15;

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
        m_ctx.host.dialogs().message(ui::Icon::Information, "印刷",
                                     QStringLiteral("印刷内容を PDF ファイル「%1」に保存しました。").arg(pdfPath()));
    }
}

bool AverageScreen::printPage(QString& error, bool& toPdf) {
    ui::Printer printer(pdfPath(), m_printToPdf || printToPdfRequested());
    toPdf = printer.toPdf();
    if (!printer.begin()) {
        error = printer.errorText();
        return false;
    }
    // The picture goes through the clipboard, which keeps it afterwards.
    mcrAvgtai->copyToClipboard();
    QImage picture = QGuiApplication::clipboard()->image();
    if (picture.width() * TwipsPerPixel > ChartWidthTwips) {
        picture = picture.scaledToWidth(ChartWidthTwips / TwipsPerPixel, Qt::SmoothTransformation);
    }
    printer.setPosition(0, 0);
    printer.drawPicture(picture);

    printer.setPosition(texts::PrintX, 0);
    printer.print(qs(std::string(texts::PrintHeading)));
    printer.newLine();
    printer.setX(texts::PrintX);
    printer.print(qs(std::string(texts::PrintRule)));
    printer.newLine();
    for (const sora::DailyAverageCells& cells : shownRows()) {
        QStringList zones;
        for (const std::string& text : cells) {
            zones.append(qs(text));
        }
        printer.setX(texts::PrintX);
        printer.printZones(zones);
    }
    if (!printer.end()) {
        error = printer.errorText();
        return false;
    }
    return true;
}
