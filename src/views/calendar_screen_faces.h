#pragma once

#include <QPixmap>

#include "core/views/class_calendar.h"

/// A friendly round face: laughing (eyes shut, open mouth), smiling, or sad (with a tear).
QPixmap calendarFacePixmap(sora::CalendarFace face, int size);
