#include "Uimgdbgrid.h"

namespace imggrid {

bool ScrollRepaintsAll(bool useBackgroundPicture, int scrollCode) {
    if (!useBackgroundPicture) return false;
    switch (scrollCode) {
        case 0:  // line up
        case 1:  // line down
        case 2:  // page up
        case 3:  // page down
        case 4:  // thumb position
        case 6:  // top
        case 7:  // bottom
            return true;
        default:
            return false;
    }
}

int WheelRows(int delta) {
    if (delta < 0) return 1;
    if (delta > 0) return -1;
    return 0;
}

}  // namespace imggrid
