#pragma once

// The history grid's rules that do not depend on its window.
namespace imggrid {

// Whether a scroll code repaints the whole grid: only with the background picture on, and only
// for line and page steps, a thumb position and the top or bottom (not while the thumb is
// dragged, nor at the end of a scroll).
bool ScrollRepaintsAll(bool useBackgroundPicture, int scrollCode);

// The rows one wheel message moves the current row by: one toward the end for a turn toward the
// user (a negative delta), one toward the start for a turn away, none for no turn.
int WheelRows(int delta);

}  // namespace imggrid
