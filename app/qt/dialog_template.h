#pragma once
// The dialog templates: each control's id, kind, place in dialog units and
// label, in template order (which is also the tab order), and the mapping
// of dialog units to pixels.
#include <QFont>
#include <QRect>

namespace sylpic {

enum ControlId : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDC_FONTNAME = 1003,
    IDC_LOG = 1004,
    IDC_IMGFTYPE = 1005,
    IDC_FONTSIZE = 1006,
    IDC_BKTRP = 1007,
    IDC_DELERRF = 1008,
    IDC_STATIC = -1,
};

enum class ControlKind {
    kDropDownList,    // combo box, not editable
    kDropDown,        // combo box with an editable field
    kCheckBox,        // automatic check box
    kLogPane,         // multi-line read-only edit with a vertical scroll bar;
                      // its label shows while the log is empty
    kHiddenButton,    // push button that is never shown
    kStaticText,
    kIcon,
    kDefaultButton,   // visible default push button
};

struct DialogControl {
    int id;
    const char* name;  // the object name the control gets
    ControlKind kind;
    int x, y, cx, cy;  // dialog units; for combo boxes cy includes the list
    const char* label;  // UTF-8, or nullptr
};

struct DialogTemplate {
    const char* caption;
    int cx, cy;  // client size in dialog units
    const DialogControl* controls;
    int controlCount;
};

// Template 102, the main dialog, and template 100, the About box.
const DialogTemplate& MainDialogTemplate();
const DialogTemplate& AboutBoxTemplate();

// The dialog's font: "ＭＳ Ｐゴシック" at 12 points where it is installed,
// else IPAPGothic, which has the same metrics.
QFont DialogFont();

// Dialog units of a font: one horizontal unit is a quarter of the font's
// average character width, one vertical unit an eighth of its height.
struct DialogUnits {
    int baseX = 0;  // average character width in pixels
    int baseY = 0;  // character height in pixels

    explicit DialogUnits(const QFont& font);
    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    QRect ToPixels(int x, int y, int cx, int cy) const;
};

}  // namespace sylpic
