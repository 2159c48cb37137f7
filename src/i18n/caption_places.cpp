#include "i18n/caption_places.h"

namespace kesto {

const char *placePropertyName(PlaceProperty property)
{
    switch (property) {
    case PlaceProperty::Text:
        return "text";
    case PlaceProperty::WindowTitle:
        return "windowTitle";
    case PlaceProperty::ToolTip:
        return "toolTip";
    case PlaceProperty::Title:
        return "title";
    case PlaceProperty::HorizontalAxisTitle:
        return "horizontalAxisTitle";
    case PlaceProperty::VerticalAxisTitle:
        return "verticalAxisTitle";
    case PlaceProperty::Item:
    case PlaceProperty::Axis:
        break;
    }
    return "";
}

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
        // --- Table editors: the five shift map editors (TForm5, TForm6, TForm7, TForm11,
        // TForm12). Labels: Label1 "TPS", Label3/Label4 "up"/"down", Label7/8 "SHIFT",
        // Label9/10 "speed", Label11/12 "[kph]"; DBChart1 carries the axis titles. ---
        {190, "TForm5", "DBChart1", P::VerticalAxisTitle},
        {191, "TForm5", "Button1", P::Text},
        {192, "TForm5", "Button2", P::Text},
        {197, "TForm5", "Label1", P::Text},
        {197, "TForm5", "DBChart1", P::HorizontalAxisTitle},
        {198, "TForm5", "CheckBox1", P::Text},
        {199, "TForm5", "CheckBox1", P::ToolTip},
        {200, "TForm5", "Label9", P::Text},
        {200, "TForm5", "Label10", P::Text},
        {201, "TForm5", "Label11", P::Text},
        {201, "TForm5", "Label12", P::Text},
        {202, "TForm5", "Label3", P::Text},
        {203, "TForm5", "Label4", P::Text},
        {204, "TForm5", "Label7", P::Text},
        {204, "TForm5", "Label8", P::Text},
        {205, "TForm5", "", P::WindowTitle},
        {253, "TForm5", "SpeedButton1", P::ToolTip},
        {190, "TForm6", "DBChart1", P::VerticalAxisTitle},
        {191, "TForm6", "Button1", P::Text},
        {192, "TForm6", "Button2", P::Text},
        {197, "TForm6", "Label1", P::Text},
        {197, "TForm6", "DBChart1", P::HorizontalAxisTitle},
        {198, "TForm6", "CheckBox1", P::Text},
        {199, "TForm6", "CheckBox1", P::ToolTip},
        {200, "TForm6", "Label9", P::Text},
        {200, "TForm6", "Label10", P::Text},
        {201, "TForm6", "Label11", P::Text},
        {201, "TForm6", "Label12", P::Text},
        {202, "TForm6", "Label3", P::Text},
        {203, "TForm6", "Label4", P::Text},
        {204, "TForm6", "Label7", P::Text},
        {204, "TForm6", "Label8", P::Text},
        {206, "TForm6", "", P::WindowTitle},
        {253, "TForm6", "SpeedButton1", P::ToolTip},
        {190, "TForm7", "DBChart1", P::VerticalAxisTitle},
        {191, "TForm7", "Button1", P::Text},
        {192, "TForm7", "Button2", P::Text},
        {197, "TForm7", "Label1", P::Text},
        {197, "TForm7", "DBChart1", P::HorizontalAxisTitle},
        {198, "TForm7", "CheckBox1", P::Text},
        {199, "TForm7", "CheckBox1", P::ToolTip},
        {200, "TForm7", "Label9", P::Text},
        {200, "TForm7", "Label10", P::Text},
        {201, "TForm7", "Label11", P::Text},
        {201, "TForm7", "Label12", P::Text},
        {202, "TForm7", "Label3", P::Text},
        {203, "TForm7", "Label4", P::Text},
        {204, "TForm7", "Label7", P::Text},
        {204, "TForm7", "Label8", P::Text},
        {207, "TForm7", "", P::WindowTitle},
        {253, "TForm7", "SpeedButton1", P::ToolTip},
        {190, "TForm11", "DBChart1", P::VerticalAxisTitle},
        {191, "TForm11", "Button1", P::Text},
        {192, "TForm11", "Button2", P::Text},
        {197, "TForm11", "Label1", P::Text},
        {197, "TForm11", "DBChart1", P::HorizontalAxisTitle},
        {198, "TForm11", "CheckBox1", P::Text},
        {199, "TForm11", "CheckBox1", P::ToolTip},
        {200, "TForm11", "Label9", P::Text},
        {200, "TForm11", "Label10", P::Text},
        {201, "TForm11", "Label11", P::Text},
        {201, "TForm11", "Label12", P::Text},
        {202, "TForm11", "Label3", P::Text},
        {203, "TForm11", "Label4", P::Text},
        {204, "TForm11", "Label7", P::Text},
        {204, "TForm11", "Label8", P::Text},
        {208, "TForm11", "", P::WindowTitle},
        {253, "TForm11", "SpeedButton1", P::ToolTip},
        {190, "TForm12", "DBChart1", P::VerticalAxisTitle},
        {191, "TForm12", "Button1", P::Text},
        {192, "TForm12", "Button2", P::Text},
        {197, "TForm12", "Label1", P::Text},
        {197, "TForm12", "DBChart1", P::HorizontalAxisTitle},
        {200, "TForm12", "Label9", P::Text},
        {200, "TForm12", "Label10", P::Text},
        {201, "TForm12", "Label11", P::Text},
        {201, "TForm12", "Label12", P::Text},
        {202, "TForm12", "Label3", P::Text},
        {203, "TForm12", "Label4", P::Text},
        {204, "TForm12", "Label7", P::Text},
        {204, "TForm12", "Label8", P::Text},
        {209, "TForm12", "", P::WindowTitle},
        {253, "TForm12", "SpeedButton1", P::ToolTip},
        // --- End of the shift map editors. ---
        // Log viewer.
        {113, "TForm15", "", P::WindowTitle},
        {272, "TForm15", "Button1", P::Text},
        {273, "TForm15", "Button2", P::Text},

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
