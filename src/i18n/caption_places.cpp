#include "i18n/caption_places.h"

namespace kesto {

const QList<CaptionPlace> &captionPlaces()
{
    using P = PlaceProperty;
    static const QList<CaptionPlace> places = {
        // Main window: the "Maps" menu and the tool buttons that share its entries' captions.
        {99, "TForm1", "SHIFTUP121", P::Text},
        {99, "TForm1", "sSpeedButton2", P::ToolTip},
        {100, "TForm1", "SHIFTUP231", P::Text},
        {101, "TForm1", "SHIFTUP341", P::Text},
        {102, "TForm1", "N45shift1", P::Text},
        {103, "TForm1", "N56shift1", P::Text},
        {104, "TForm1", "WOT1", P::Text},
        {104, "TForm1", "sSpeedButton3", P::ToolTip},
        {105, "TForm1", "Mainpressuremap1", P::Text},
        {105, "TForm1", "sSpeedButton5", P::ToolTip},
        {106, "TForm1", "Accumulatorpressuremap1", P::Text},
        {107, "TForm1", "Lockupmap1", P::Text},
        {107, "TForm1", "sSpeedButton4", P::ToolTip},
        {108, "TForm1", "AWDControlSLC1", P::Text},
        {109, "TForm1", "Maps1", P::Title},
        // Main window: the "Options" menu.
        {110, "TForm1", "MAP1", P::Title},
        {111, "TForm1", "O1", P::Text},
        {111, "TForm1", "sSpeedButton1", P::ToolTip},
        {112, "TForm1", "PSCALIBRATION1", P::Text},
        {113, "TForm1", "Logview1", P::Text},
        {113, "TForm1", "sSpeedButton7", P::ToolTip},
        {114, "TForm1", "Saveconfig1", P::Text},
        {115, "TForm1", "UploadConfig1", P::Text},
        {116, "TForm1", "Language1", P::Title},
        {117, "TForm1", "English1", P::Text},
        {118, "TForm1", "Russian1", P::Text},
        // Main window: live data panel. A hint row serves the caption and the value beside it.
        {123, "TForm1", "GroupBox1", P::Title},
        {124, "TForm1", "Label1", P::Text},
        {125, "TForm1", "Label1", P::ToolTip},
        {125, "TForm1", "rmp_label", P::ToolTip},
        {126, "TForm1", "Label3", P::Text},
        {127, "TForm1", "Label3", P::ToolTip},
        {127, "TForm1", "speed_label", P::ToolTip},
        {128, "TForm1", "Label4", P::Text},
        {129, "TForm1", "Label4", P::ToolTip},
        {129, "TForm1", "tps_label", P::ToolTip},
        {130, "TForm1", "Label14", P::Text},
        {131, "TForm1", "Label14", P::ToolTip},
        {131, "TForm1", "Label15", P::ToolTip},
        {132, "TForm1", "Label20", P::Text},
        {133, "TForm1", "Label20", P::ToolTip},
        {133, "TForm1", "Label19", P::ToolTip},
        {134, "TForm1", "Label6", P::Text},
        {135, "TForm1", "Label6", P::ToolTip},
        {135, "TForm1", "mode_label", P::ToolTip},
        {136, "TForm1", "Label5", P::Text},
        {137, "TForm1", "Label5", P::ToolTip},
        {137, "TForm1", "gear_label", P::ToolTip},
        {138, "TForm1", "Label10", P::Text},
        {139, "TForm1", "Label10", P::ToolTip},
        {139, "TForm1", "Label11", P::ToolTip},
        {140, "TForm1", "Label8", P::Text},
        {141, "TForm1", "Label8", P::ToolTip},
        {141, "TForm1", "Label9", P::ToolTip},
        {142, "TForm1", "Label12", P::Text},
        {143, "TForm1", "Label12", P::ToolTip},
        {143, "TForm1", "Label13", P::ToolTip},
        {144, "TForm1", "Label2", P::Text},
        {145, "TForm1", "Label2", P::ToolTip},
        {145, "TForm1", "Label16", P::ToolTip},
        // Main window: tool bar. Button1 and the status bar follow the connection (special case).
        {146, "TForm1", "Label7", P::Text},
        // Gauge window.
        {256, "TForm20", "", P::WindowTitle},
        // Temperature calibration: the menu entry and the window share one row.
        {257, "TForm1", "T1", P::Text},
        {257, "TForm21", "", P::WindowTitle},
        {275, "TForm1", "C1", P::Title},
        {284, "TForm1", "lastgearlockup", P::Text},
    };
    return places;
}

} // namespace kesto
