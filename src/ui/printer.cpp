#include "ui/printer.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "ui/twips.h"

namespace ui {
namespace {

constexpr double kPointSize = 10.5;
constexpr int kZoneCharacters = 14;
constexpr double kTwipsPerScreenPixel = 15.0;  // pictures come from a 96-DPI screen

/// The font of every printout and PDF. Qt's PDF writer maps each glyph back to the lowest code point that the font
/// maps to it; Noto Sans CJK maps the Kangxi radicals (U+2F00…) and full-width forms to the glyphs of the common
/// ideographs, so 血 would come back from the PDF as ⾎ and 〜 for ～. BIZ UDGothic maps each of our glyphs from
/// one code point only, so the PDF's text is the text drawn; Noto stays the fallback.
QFont printerFont() {
    QFont font = QGuiApplication::font();
    for (const QString& family : {QStringLiteral("BIZ UDGothic"), QStringLiteral("Noto Sans CJK JP"),
                                  QStringLiteral("Noto Sans Mono CJK JP")}) {
        if (QFontDatabase::hasFamily(family)) {
            font.setFamily(family);
            return font;
        }
    }
    return font;
}

}  // namespace

QFont Printer::japaneseFont(double points) {
    QFont font = printerFont();
    font.setPointSizeF(points);
    return font;
}

Printer::Printer(const QString& pdfPath, bool forcePdf) : m_pdfPath(pdfPath), m_font(japaneseFont(kPointSize)) {
    m_toPdf = forcePdf || QPrinterInfo::defaultPrinter().isNull();
}

Printer::~Printer() {
    if (m_active) {
        end();
    }
}

bool Printer::begin() {
    if (m_active) {
        return true;
    }
    m_error.clear();
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (m_a4) {
        m_printer->setPageSize(QPageSize(QPageSize::A4));
    }
    m_printer->setPageOrientation(m_landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (m_toPdf) {
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setOutputFileName(m_pdfPath);
    } else {
        m_printer->setPrinterName(QPrinterInfo::defaultPrinter().printerName());
    }
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer.get())) {
        m_error = m_toPdf
                      ? QStringLiteral("PDFファイル「%1」を作成できませんでした。").arg(m_pdfPath)
                      : QStringLiteral("プリンター「%1」で印刷を始められませんでした。").arg(m_printer->printerName());
        m_painter.reset();
        m_printer.reset();
        return false;
    }
    m_painter->setFont(m_font);
    m_painter->setPen(Qt::black);
    m_active = true;
    m_x = 0;
    m_y = 0;
    return true;
}

QPagedPaintDevice* Printer::device() const {
    return m_printer.get();
}

void Printer::setFont(const QFont& font) {
    m_font = font;
    if (m_painter) {
        m_painter->setFont(m_font);
    }
}

void Printer::setFontPointSize(double points) {
    if (points <= 0) {
        return;
    }
    m_font.setPointSizeF(points);
    if (m_painter) {
        m_painter->setFont(m_font);
    }
}

void Printer::setPosition(double xTwips, double yTwips) {
    m_x = xTwips;
    m_y = yTwips;
}

void Printer::setX(double xTwips) {
    m_x = xTwips;
}

void Printer::setY(double yTwips) {
    m_y = yTwips;
}

void Printer::drawPicture(const QImage& picture) {
    if (!m_active || picture.isNull()) {
        return;
    }
    const QRectF target(twipsToDevice(m_x, *m_printer), twipsToDeviceY(m_y, *m_printer),
                        twipsToDevice(picture.width() * kTwipsPerScreenPixel, *m_printer),
                        twipsToDeviceY(picture.height() * kTwipsPerScreenPixel, *m_printer));
    m_painter->drawImage(target, picture);
}

void Printer::print(const QString& text) {
    if (!m_active || text.isEmpty()) {
        return;
    }
    ensurePage();
    const QFontMetricsF m = metrics();
    const QPointF baseline(twipsToDevice(m_x, *m_printer), twipsToDeviceY(m_y, *m_printer) + m.ascent());
    m_painter->drawText(baseline, text);
    m_x += toTwips(m.horizontalAdvance(text), false);
}

void Printer::nextZone() {
    const double zone = zoneWidthTwips();
    if (zone <= 0) {
        return;
    }
    // Strictly after the current position: an empty text still leaves its zone blank.
    const double zonesPassed = std::floor(m_x / zone + 1e-9);
    m_x = (zonesPassed + 1) * zone;
}

void Printer::newLine() {
    m_x = 0;
    m_y += lineHeightTwips();
}

void Printer::printZones(const QStringList& texts) {
    for (int i = 0; i < texts.size(); ++i) {
        if (i > 0) {
            nextZone();
        }
        print(texts[i]);
    }
    newLine();
}

bool Printer::end() {
    if (!m_active) {
        return false;
    }
    m_active = false;
    const bool ended = m_painter->end();
    m_painter.reset();
    const bool ok =
        ended && m_printer->printerState() != QPrinter::Error && (!m_toPdf || QFileInfo(m_pdfPath).size() > 0);
    m_printer.reset();
    if (!ok && m_error.isEmpty()) {
        m_error = QStringLiteral("印刷に失敗しました。");
    }
    return ok;
}

double Printer::zoneWidthTwips() const {
    return kZoneCharacters * averageCharWidthTwips();
}

QFontMetricsF Printer::metrics() const {
    return m_printer ? QFontMetricsF(m_font, m_printer.get()) : QFontMetricsF(m_font);
}

double Printer::toTwips(double units, bool vertical) const {
    if (m_printer) {
        return vertical ? deviceToTwipsY(units, *m_printer) : deviceToTwips(units, *m_printer);
    }
    return units * 1440.0 / 96.0;  // before begin(): screen metrics
}

double Printer::averageCharWidthTwips() const {
    const QFontMetricsF m = metrics();
    // A font with Japanese glyphs reports the full-width cell as its average; zones count half-width cells,
    // or fourteen of them would reach two inches.
    return toTwips(std::min(m.averageCharWidth(), m.horizontalAdvance(QLatin1Char('x'))), false);
}

double Printer::lineHeightTwips() const {
    return toTwips(metrics().height(), true);
}

void Printer::ensurePage() {
    // A line that would not fit below the current one goes to the top of a new page.
    const double pageHeight = deviceToTwipsY(m_printer->height(), *m_printer);
    if (m_y > 0 && m_y + lineHeightTwips() > pageHeight) {
        m_printer->newPage();
        m_y = 0;
    }
}

}  // namespace ui
