// The main window's own state beside its controls: the colour pots, the filler colour
// dialog's next custom slot, the double click on the Source and the picker's pointer.
#pragma once

#include "imaging/Geometry.h"

#include <QCursor>

namespace parvane::app {

struct MainFormState {
    // The colours of the pots, and the dialog's custom colour slot the filler takes next.
    imaging::Colour PotColour;
    int CustomColourSlot = 0;
    imaging::Colour MagentaColour;
    imaging::Colour BlackColour;
    imaging::Colour FillerColour;

    // Set by a double click on the Source canvas: the release that ends it cuts nothing.
    bool SourceDoubleClicked = false;
    // Screen cursor 1: the colour picker's pointer.
    QCursor PickerCursor;
};

} // namespace parvane::app
