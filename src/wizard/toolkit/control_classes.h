// The control classes a page may hold, what each becomes on screen, and the
// values of the properties a dialog file leaves out.
//
// A dialog file stores only the properties whose value differs from the
// class's default, so the page reads every control through its class's
// defaults: WithClassDefaults gives the object with each missing default
// added, which the page then keeps as the control's property values.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "wizard/form_file.h"

namespace qv::toolkit {

// The native control (or painted window) each class is shown as.
enum class NativeKind {
    Label, Edit, Memo, Button, CheckBox, RadioButton, ListBox, ComboBox, GroupBox, Panel, BitButton,
    SpeedButton, Image, Shape, Bevel, StaticText, Gauge, RichEdit, TrackBar, ProgressBar, UpDown, Animate,
    CheckListBox, TreeView, Placeholder, FileList, DirectoryList, DriveCombo, FilterCombo, ShellTree,
    ShellList, ShellCombo, FormShape, BmpButton,
};

struct ControlClass {
    const char* name;
    // The class it derives from among these (a TBitBtn is a TButton), or null.
    const char* base;
    NativeKind kind;
    // Holds child controls (group box, panel).
    bool container;
    // A control with a window of its own that can take the focus; the others
    // are painted on their parent and stay below every windowed sibling.
    bool windowed;
    // Defaults beyond those every control shares, as "Name=value" items
    // separated by ";" (numbers, True/False, identifiers, 'strings').
    const char* defaults;
};

// The classes in the order the page registers them.
const std::vector<ControlClass>& ControlClasses();
// None for a class the page does not know.
const ControlClass* FindControlClass(std::string_view className);
// True when className is ancestor or derives from it ("TBitBtn" is a "TButton").
bool InheritsFrom(std::string_view className, std::string_view ancestor);

// The object with the defaults of its class (and those shared by all
// controls) added for every property the file leaves out. TabOrder, when
// missing, is the control's position among its windowed siblings. Children
// are not copied. Objects of unknown classes get only the shared defaults.
FormObject WithClassDefaults(const FormObject& object, int siblingIndex);

// The same for the page itself (the root object): client size, colour, the
// toolkit's default font, 96 pixels per inch, scaling on.
FormObject WithPageDefaults(const FormObject& root);

}  // namespace qv::toolkit
