#include "i18n/caption_places.h"

namespace kesto {

const QList<CaptionPlace> &captionPlaces()
{
    using P = PlaceProperty;
    static const QList<CaptionPlace> places = {
        // Main window menus.
        {99, "TForm1", "SHIFTUP121", P::Text},
        {100, "TForm1", "SHIFTUP231", P::Text},
        {101, "TForm1", "SHIFTUP341", P::Text},
        {102, "TForm1", "N45shift1", P::Text},
        {103, "TForm1", "N56shift1", P::Text},
        {104, "TForm1", "WOT1", P::Text},
        {105, "TForm1", "Mainpressuremap1", P::Text},
        {106, "TForm1", "Accumulatorpressuremap1", P::Text},
        {107, "TForm1", "Lockupmap1", P::Text},
        {108, "TForm1", "AWDControlSLC1", P::Text},
        {109, "TForm1", "Maps1", P::Title},
        {110, "TForm1", "MAP1", P::Title},
        {111, "TForm1", "O1", P::Text},
        {112, "TForm1", "PSCALIBRATION1", P::Text},
        {113, "TForm1", "Logview1", P::Text},
        {114, "TForm1", "Saveconfig1", P::Text},
        {115, "TForm1", "UploadConfig1", P::Text},
        {116, "TForm1", "Language1", P::Title},
        {117, "TForm1", "English1", P::Text},
        {118, "TForm1", "Russian1", P::Text},

        // Firmware update window: caption, instructions and the status line. The button's
        // captions (337-340) and the step messages (343, 344, 350-355) are read when the window
        // builds them, since they change with its state.
        {245, "TForm19", "", P::WindowTitle},
        {246, "TForm19", "sLabel1", P::Text},
        {247, "TForm19", "sLabel7", P::Text},
        {248, "TForm19", "sLabel8", P::Text},
        {249, "TForm19", "sLabel10", P::Text},
        {250, "TForm19", "sLabel5", P::Text},
        {345, "TForm19", "sLabel6", P::Text},
        {346, "TForm19", "sLabel11", P::Text},
        {347, "TForm19", "sLabel3", P::Text},
        {348, "TForm19", "sLabel4", P::Text},
        {349, "TForm19", "sLabel2", P::Text},
    };
    return places;
}

} // namespace kesto
