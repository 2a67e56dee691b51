#pragma once

#include <QString>
#include <functional>

namespace ui {
class Dialogs;
class Printer;
}  // namespace ui

/// One printout with the program's messages: a printer that does not start or finish is told, and a page that went
/// to a PDF file (no printer) names the file. `draw` puts the pages on the started printer. True when printed.
bool runPrintJob(ui::Dialogs& dialogs, ui::Printer& printer, const std::function<void()>& draw);

/// The message of a printout that went to a PDF file (no printer), the same for every printout.
QString printedToPdfMessage(const QString& pdfPath);
