#include "common/side_file_guard.h"

#include "common/render.h"

bool mayWriteSideFile(ui::Dialogs& dialogs, sora::UnreadableSideFiles& files, const sora::DataDir& dir,
                      const sora::Clock& clock, std::string_view name) {
    const sora::OverwriteCheck check = files.before_write(dir, name, clock.now());
    if (!check.ask) {
        return true;
    }
    const ui::Answer answer =
        dialogs.message(ui::Icon::Question, qs(check.title), qs(check.question), ui::Buttons::YesNoCancel);
    if (answer != ui::Answer::Yes && answer != ui::Answer::No) {
        return false;
    }
    const sora::WriteResult agreed = files.agree(dir, name, answer == ui::Answer::Yes, check.copyName);
    if (!agreed) {
        dialogs.message(ui::Icon::Warning, "保存エラー", qs(agreed.message));
        return false;
    }
    return true;
}

bool mayWriteSideFile(const ScreenContext& context, std::string_view name) {
    return mayWriteSideFile(context.host.dialogs(), context.state.unreadableFiles, context.dir, context.clock, name);
}
