#pragma once

#include <QString>

// A duration in whole seconds as hours, minutes and seconds, "0:00:00",
// "1:02:03", "27:00:00": the same in every locale, never a time of day.
// Negative durations show as 0:00:00.
QString durationText(qint64 ms);
