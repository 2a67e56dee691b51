// Printing the filtered list: chart picture, heading, rule and one line per listed row.
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include "common/print_job.h"
#include "common/render.h"
#include "core/views/filter_print.h"
#include "ui/chart.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/printer.h"
#include "ui/twips.h"
#include "views/filter_screen.h"

QString FilterScreen::printPdfPath() const {
    const sora::DateTime now = m_ctx.clock.now();
    const QString name = QString("印刷_%1%2%3_%4%5%6.pdf")
                             .arg(now.date.year, 4, 10, QChar('0'))
                             .arg(now.date.month, 2, 10, QChar('0'))
                             .arg(now.date.day, 2, 10, QChar('0'))
                             .arg(now.hour, 2, 10, QChar('0'))
                             .arg(now.minute, 2, 10, QChar('0'))
                             .arg(now.second, 2, 10, QChar('0'));
    return QDir(QString::fromStdString(m_ctx.dir.path().string())).filePath(name);
}

void FilterScreen::cmdPriData_Click() {
    ui::Dialogs& dialogs = m_ctx.host.dialogs();
    const QString question =
        QStringLiteral("表示中のデータを印刷しますか？ ") + "\r\n\r\n" + "良かったらＯＫボタンを押してください";
    if (dialogs.message(ui::Icon::Question, "印刷確認", question, ui::Buttons::OkCancel) != ui::Answer::Ok) {
        return;
    }
    ui::Printer printer(printPdfPath(), m_printToPdf);
    runPrintJob(dialogs, printer, [&] { printPage(printer); });
}

void FilterScreen::printPage(ui::Printer& printer) {
    printer.setPosition(0, 0);
    mcrBunseki->copyToClipboard();
    QImage picture = QGuiApplication::clipboard()->image();
    if (picture.isNull()) {
        // Without a working clipboard the chart is taken directly, so the page still shows it.
        picture = mcrBunseki->picture();
    }
    // The chart grows with the window; on paper it must end above the heading, in the box the page was laid
    // out for.
    const QSize box(ui::twipsToPixels(sora::filter_print::ChartWidthTwips, mcrBunseki),
                    ui::twipsToPixels(sora::filter_print::ChartHeightTwips, mcrBunseki));
    if (picture.width() > box.width() || picture.height() > box.height()) {
        picture = picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    printer.drawPicture(picture);

    printer.setPosition(0, sora::filter_print::HeadingYTwips);
    printer.print(qs(sora::filter_print_heading()));
    printer.newLine();
    printer.print(qs(sora::filter_print_rule()));
    printer.newLine();

    // The texts as the grid shows them, so the page matches the screen.
    std::vector<std::string> texts(static_cast<std::size_t>(msgBunseki->columnCount()));
    for (int row = 1; row < msgBunseki->rowCount(); ++row) {
        for (int column = 0; column < msgBunseki->columnCount(); ++column) {
            texts[static_cast<std::size_t>(column)] = ss(msgBunseki->text(row, column));
        }
        const sora::FilterPrintLine line = sora::filter_print_line(texts);
        printer.print(qs(line.date));
        printer.nextZone();
        printer.print(qs(line.situation));
        printer.setX(sora::filter_print::NumbersXTwips);
        for (std::size_t i = 0; i < line.numbers.size(); ++i) {
            if (i > 0) {
                printer.nextZone();
            }
            printer.print(qs(line.numbers[i]));
        }
        printer.newLine();
    }
}
