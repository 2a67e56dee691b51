#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QString>
#include <QStringList>
#include <memory>

class QPagedPaintDevice;
class QPainter;
class QPrinter;

namespace ui {

/// Prints text at positions in twips with print zones, and pictures, on the default printer.
/// Without a printer (or when told to) the pages go to a PDF file instead.
class Printer {
public:
    /// `pdfPath` is used when no printer is installed or `forcePdf` is set.
    Printer(const QString& pdfPath, bool forcePdf = false);
    ~Printer();

    /// Lays the pages out in landscape; call before begin().
    void setLandscape(bool on) { m_landscape = on; }
    /// Uses A4 paper whatever the printer's default; call before begin().
    void setA4(bool on) { m_a4 = on; }

    /// Starts the document; false (with errorText()) when neither printer nor file can be opened.
    bool begin();
    /// True when the output goes to the PDF file.
    bool toPdf() const { return m_toPdf; }
    QString pdfPath() const { return m_pdfPath; }
    QString errorText() const { return m_error; }

    void setPosition(double xTwips, double yTwips);
    void setX(double xTwips);
    void setY(double yTwips);
    double x() const { return m_x; }
    double y() const { return m_y; }

    /// Draws a picture with its top-left corner at the current position, at its on-screen size.
    void drawPicture(const QImage& picture);
    /// Prints text at the current position and moves the position behind it.
    void print(const QString& text);
    /// Moves to the next print zone (every 14 average character widths from the left margin).
    void nextZone();
    /// Ends the line: x back to the margin, y one line lower; starts a new page when needed.
    void newLine();
    /// Prints texts one per zone from the current x, then ends the line.
    void printZones(const QStringList& texts);
    /// Sends the document; false when it failed.
    bool end();

    double zoneWidthTwips() const;
    double lineHeightTwips() const;
    /// The width of a half-width character of the printer font.
    double averageCharWidthTwips() const;
    /// The printer font (the application's Japanese font at 10.5 points).
    QFont font() const { return m_font; }
    /// A smaller or larger font for the following text (zones and line height follow it).
    void setFontPointSize(double points);
    /// Replaces the printer font (a fixed-pitch one lines a heading's words up with the zones).
    void setFont(const QFont& font);

    /// The application's font with Japanese glyphs at the given size, for documents drawn by hand.
    static QFont japaneseFont(double points);

    /// For documents that draw their pages themselves (between begin() and end()).
    QPainter* painter() const { return m_painter.get(); }
    QPagedPaintDevice* device() const;

private:
    void ensurePage();
    QFontMetricsF metrics() const;
    double toTwips(double deviceUnits, bool vertical) const;
    QString m_pdfPath;
    bool m_toPdf = false;
    bool m_active = false;
    bool m_landscape = false;
    bool m_a4 = false;
    QString m_error;
    double m_x = 0;
    double m_y = 0;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    QFont m_font;
};

}  // namespace ui
