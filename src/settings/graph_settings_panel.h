#pragma once

#include <QObject>
#include <array>

#include "common/screen_context.h"
#include "core/graph_axis_settings.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QFrame;

namespace ui {
class Chart;
}

/// The graph Y-axis settings of the settings screen: the mode options, nine boxes, the explanation of the
/// automatic rule (fraYauto), the preview chart mcrGrSet and the save button cmdGrSet.
class GraphSettingsPanel : public QObject {
    Q_OBJECT
public:
    GraphSettingsPanel(ScreenContext context, QWidget* parent);

    QWidget* widget() const;

    /// Puts settings into the options and the nine boxes (the boxes follow the option).
    void showSettings(const sora::GraphAxisSettings& settings);
    /// Sets the preview's axes: blood pressure on the left, weight on the right, whatever the mode.
    void applyPreview(const sora::GraphAxisSettings& settings);

private:
    void setManual(bool manual);
    void cmdGrSet_Click();
    QGroupBox* makeAxisFrame(const QString& title, const QString& unit, int firstBox);

    ScreenContext m_ctx;
    QGroupBox* m_box;
    QRadioButton* optGrSet;   // manual
    QRadioButton* optGrSet2;  // automatic
    QLineEdit* txtY1max;
    QLineEdit* txtY1min;
    QLineEdit* txtY1dev;
    QLineEdit* txtY2max;
    QLineEdit* txtY2min;
    QLineEdit* txtY2dev;
    QLineEdit* txtY3max;
    QLineEdit* txtY3min;
    QLineEdit* txtY3dev;
    std::array<QLineEdit*, 9> m_boxes{};
    QFrame* fraYauto;
    ui::Chart* mcrGrSet;
    QPushButton* cmdGrSet;
};
