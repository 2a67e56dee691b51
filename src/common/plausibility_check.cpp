#include "common/plausibility_check.h"

#include "common/render.h"
#include "core/rules/plausibility.h"
#include "ui/dialogs.h"

int askAboutDoubtfulValues(ui::Dialogs& dialogs, const sora::MeasurementRecord& record) {
    const auto question = sora::plausibility_question(record.systolic, record.diastolic, record.pulse, record.weight);
    if (!question) {
        return -1;
    }
    const ui::Answer answer =
        dialogs.message(ui::Icon::Question, DoubtfulValueTitle, qs(question->text), ui::Buttons::YesNoDefaultNo);
    return answer == ui::Answer::Yes ? -1 : question->box;
}
