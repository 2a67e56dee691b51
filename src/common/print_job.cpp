#include "common/print_job.h"

#include <QDir>

#include "ui/dialogs.h"
#include "ui/printer.h"

bool runPrintJob(ui::Dialogs& dialogs, ui::Printer& printer, const std::function<void()>& draw) {
    if (!printer.begin()) {
        dialogs.message(ui::Icon::Warning, "印刷エラー", "印刷を始められませんでした。\r\n" + printer.errorText());
        return false;
    }
    draw();
    if (!printer.end()) {
        dialogs.message(ui::Icon::Warning, "印刷エラー", "印刷できませんでした。\r\n" + printer.errorText());
        return false;
    }
    if (printer.toPdf()) {
        dialogs.message(ui::Icon::Information, "印刷", printedToPdfMessage(printer.pdfPath()));
    }
    return true;
}

QString printedToPdfMessage(const QString& pdfPath) {
    return "印刷内容をPDFファイルに保存しました。\r\n" + QDir::toNativeSeparators(pdfPath);
}
