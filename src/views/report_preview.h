#pragma once

#include <QByteArray>
#include <QWidget>
#include <memory>
#include <optional>

#include "common/screen_context.h"
#include "views/home_report_document.h"

class QPrinter;
class QPrintPreviewWidget;
class QPushButton;

/// The print preview of the home blood-pressure report (window frmReport): the pages, 印刷 (cmdRepPrint) to the
/// default printer or, without one, to a PDF in the data folder, and PDF保存 (cmdRepPdf) to a file the user chooses.
class ReportPreview : public QWidget {
    Q_OBJECT
public:
    ReportPreview(ScreenContext context, QWidget* parent);
    ~ReportPreview() override;

    /// Shows the document's pages (the window is shown by the caller).
    void setDocument(HomeReportDocument document);
    /// Sends 印刷 to a PDF file in the data folder even where a printer exists (tests, headless use).
    void setPrintToPdf(bool on) { m_printToPdf = on; }
    /// The document as PDF bytes (A4 portrait).
    QByteArray pdfBytes() const;
    /// The name PDF保存 offers: 血圧レポート_yyyymmdd-yyyymmdd.pdf in the documents folder.
    QString suggestedPdfPath() const;

private:
    void cmdRepPrint_Click();
    void cmdRepPdf_Click();

    ScreenContext m_ctx;
    std::optional<HomeReportDocument> m_document;
    bool m_printToPdf = false;
    std::unique_ptr<QPrinter> m_previewPrinter;
    QPrintPreviewWidget* m_view;
    QPushButton* cmdRepPrint;
    QPushButton* cmdRepPdf;
    QPushButton* cmdRepClose;
};
