#pragma once

#include <QObject>
#include <QString>

#include "common/screen_context.h"
#include "core/views/filter_listing.h"

class QWidget;
class ReportPreview;

/// What the filtered view hands out beside its printout: the home blood-pressure report of the period in its boxes
/// (レポート, cmdReport) and the listed records as CSV (CSV保存, cmdCsvHozon).
class FilterExports : public QObject {
    Q_OBJECT
public:
    FilterExports(ScreenContext context, QWidget* frame);

    /// Makes the report of the period the two boxes hold (the last 28 days when they are empty) and shows its preview.
    void makeReport(const QString& start, const QString& end);
    /// Writes the records the last listing showed to a CSV file the user chooses.
    void saveCsv(sora::FilterListing listing, const sora::FilterCriteria& criteria);

    /// The preview window, once a report was made.
    ReportPreview* preview() const { return m_preview; }

private:
    ScreenContext m_ctx;
    QWidget* m_frame;
    ReportPreview* m_preview = nullptr;
};
