#pragma once

#include <cstdint>
#include <string>

#include "core/files/unreadable_side_files.h"
#include "core/graph_axis_settings.h"
#include "core/rules/classification.h"
#include "core/view_model.h"

namespace sora {

/// The previous measurement offered to the entry panel.
struct PreviousMeasurement {
    float systolic = 0;
    float diastolic = 0;
    float pulse = 0;
    float weight = 0;
};

/// The state the main window keeps between events; screens get a reference to it.
struct AppState {
    bool loading = false;
    bool sampleMode = false;
    std::string selectedDate;  // "yyyy/mm/dd", the main calendar's day
    std::string startDate;     // first record's date, from the last main-screen refresh
    std::string latestDate;    // last record's date, from the last main-screen refresh
    std::int32_t recordCount = 0;
    PreviousMeasurement previous;
    Judgement judgement;
    DataExtremes extremes;  // of the last chart drawn
    GraphAxisSettings axes;
    int helpTour = 0;
    std::string helpText;
    std::string userName;
    int markerMode = 0;
    bool autoTime = false;
    UnreadableSideFiles unreadableFiles;  // side files the start-up could not read
};

/// The fixed name that, with the start date 2005/02/01, marks the installed sample diary.
inline constexpr const char* SampleUserName = "サンプル";
/// The sample's name in folders installed by earlier versions, which still count as the sample.
inline constexpr const char* EarlierSampleUserName = "ソラノート見本";
inline constexpr const char* SampleStartDate = "2005/02/01";
inline constexpr const char* SampleShownDate = "2005/02/09";

}  // namespace sora
