#include "ui/series_mode_options.h"

#include <QVBoxLayout>

namespace ui {

SeriesModeOptions::SeriesModeOptions(const std::array<QString, 5>& names, const std::array<QString, 5>& captions,
                                     QWidget* parent)
    : QWidget(parent), m_group(new QButtonGroup(this)) {
    m_group->setExclusive(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i < 5; ++i) {
        m_buttons[i] = new QRadioButton(captions[i], this);
        m_buttons[i]->setObjectName(names[i]);
        m_group->addButton(m_buttons[i], i);
        layout->addWidget(m_buttons[i]);
    }
    layout->addStretch(1);
    // Only the button that becomes checked reports; clicking the checked button changes nothing.
    connect(m_group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) {
            emit modeChosen(id);
        }
    });
}

int SeriesModeOptions::selected() const {
    return m_group->checkedId();
}

void SeriesModeOptions::select(int index) {
    if (index >= 0 && index < 5 && selected() != index) {
        m_buttons[index]->setChecked(true);
    }
}

}  // namespace ui
