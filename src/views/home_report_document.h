#pragma once

#include <QString>

#include "core/views/home_bp_report.h"

class QPainter;
class QPagedPaintDevice;

/// The home blood-pressure report as printed pages (A4 portrait): heading, summary, chart, weekly and daily tables
/// that continue on further pages under their repeated heading, and "n / m" in every footer. One drawing routine
/// serves the preview, the printer and the PDF file.
class HomeReportDocument {
public:
    HomeReportDocument(sora::HomeBpReport report, QString userName, QString madeOn);

    /// Draws every page on a painter that is active on `device`, starting new pages on the device as needed.
    void paint(QPainter& painter, QPagedPaintDevice& device) const;
    /// The number of pages the document takes on the device.
    int pageCount(const QPagedPaintDevice& device) const;

    const sora::HomeBpReport& report() const { return m_report; }

private:
    class Flow;
    /// Lays the pages out; draws them when `flow` has a painter. Returns the number of pages.
    int layOut(Flow& flow) const;
    void drawHeading(Flow& flow) const;
    void drawChart(Flow& flow) const;

    sora::HomeBpReport m_report;
    QString m_userName;
    QString m_madeOn;
};
