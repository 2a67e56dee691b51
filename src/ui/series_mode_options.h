#pragma once

#include <QButtonGroup>
#include <QRadioButton>
#include <QStringList>
#include <QWidget>
#include <array>

namespace ui {

/// The five option buttons that choose a trend chart's series mode, in the order
/// blood pressure, pulse, pulse mixed, weight, weight mixed (index 0 to 4).
class SeriesModeOptions : public QWidget {
    Q_OBJECT
public:
    /// `names` are the objectNames and `captions` the texts of the five buttons, in the order above.
    SeriesModeOptions(const std::array<QString, 5>& names, const std::array<QString, 5>& captions,
                      QWidget* parent = nullptr);

    int selected() const;
    /// Selects a button as a click does: emits modeChosen only when the selection changes.
    void select(int index);
    QRadioButton* button(int index) const { return m_buttons[index]; }

signals:
    void modeChosen(int index);

private:
    std::array<QRadioButton*, 5> m_buttons{};
    QButtonGroup* m_group;
};

}  // namespace ui
