// The five texts of the status bar, as a function of the run position, the
// flags and the row count. No operating system needed.
#pragma once

struct ProgressState;
struct RunFlags;

constexpr int kStatusParts = 5;
constexpr int kStatusTextSize = 128;

// missed: the files the last pass did not back up; the last part tells
// them instead of the credit until the next pass begins.
void format_status_texts(const ProgressState& progress, const RunFlags& flags, int row_count,
                         char (&texts)[kStatusParts][kStatusTextSize], int missed = 0);
